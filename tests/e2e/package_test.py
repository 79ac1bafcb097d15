"""The installer, QVL2-<version>.msi from scripts/package, under Wine: what msiexec /i puts where, the
driver started from its Start-menu shortcut against the simulator and starting the editor beside it,
an upgrade in place, and what msiexec /x takes away and what it leaves (the user's keysets).

Run:  python3 tests/e2e/package_test.py       (or scripts/package --check; scripts/test runs it too)
"""

import glob
import struct
import subprocess
import sys
import unittest
from pathlib import Path

from driver import ID_OPEN_EDITOR, Driver, Simulator
from harness import VK, HarnessError, Session, wait_until
from keysets import EDITOR_KEY, KEYSETS, keyset, store_keysets
from wine_env import ROOT

RUN_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
INSTALLED = "C:\\Program Files\\QVL2\\"
# The Run entry as the editor's Preferences write it for a driver in that folder.
INSTALLED_RUN_ENTRY = '"C:\\Program Files\\QVL2\\qvl2rs"'
WM_CLOSE = 0x0010


def shortcut_target(path):
    """The local path a shell link (.lnk) points at: the LocalBasePath of its LinkInfo."""
    data = Path(path).read_bytes()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    offset = 0x4C
    if flags & 0x1:  # HasLinkTargetIDList
        offset += 2 + struct.unpack_from("<H", data, offset)[0]
    if not flags & 0x2:  # HasLinkInfo
        return None
    base = offset + struct.unpack_from("<I", data, offset + 16)[0]
    return data[base:data.index(b"\0", base)].decode("cp1252")


class Installer:
    """msiexec of the session's prefix; each run logs into the session folder."""

    def __init__(self, session):
        self.s = session
        self.runs = 0

    def __call__(self, action, package):
        self.runs += 1
        log = self.s.path(f"msiexec.{self.runs}.log")
        with open(self.s.path(f"msiexec.{self.runs}.out"), "wb") as out:
            return subprocess.run(
                [*self.s.wine.wine64, "C:\\windows\\system32\\msiexec.exe", action, self.s.wine.windows_path(package),
                 "/qn", "/l*v", self.s.wine.windows_path(log)],
                env=self.s.wine.env, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                timeout=120).returncode

    def linux_path(self, windows_path):
        """A path on drive C of the prefix as Linux sees it."""
        drive, rest = windows_path.split(":\\", 1)
        assert drive.upper() == "C", windows_path
        return Path(self.s.wine.env["WINEPREFIX"]) / "drive_c" / rest.replace("\\", "/")

    def shortcuts(self):
        """{shortcut name: target} of the QVL2 folder of the Start menu, for all users or this one."""
        drive_c = Path(self.s.wine.env["WINEPREFIX"]) / "drive_c"
        links = glob.glob(str(drive_c / "**" / "Start Menu" / "Programs" / "QVL2" / "*.lnk"), recursive=True)
        return {Path(link).stem: shortcut_target(link) for link in links}

    def products(self):
        """{DisplayName, DisplayVersion, Publisher} of every installed-programs entry named QVL2."""
        _, output = self.s.wine.reg("query", UNINSTALL_KEY, "/s", check=False)
        entries, current = [], None
        for line in output.splitlines():
            if line.startswith("HKEY_"):
                current = {}
                entries.append(current)
            elif line.startswith("    ") and current is not None:
                parts = line.strip().split("    ", 2)
                if len(parts) == 3:
                    current[parts[0]] = parts[2]
        return [e for e in entries if e.get("DisplayName") == "QVL2"]


class _Uninstaller:
    """Whatever a failed scenario left installed goes at the end, with the test's Run entry."""

    def __init__(self, installer, *packages):
        self.installer = installer
        self.packages = packages

    def stop(self):
        for package in self.packages:
            self.installer("/x", package)
        self.installer.s.wine.reg_delete(RUN_KEY, "qvl2rs")


def make_package(session, name, *options):
    """scripts/package's installer of the build's programs into the session folder `name`."""
    done = subprocess.run([str(ROOT / "scripts" / "package"), "--no-build", "--out", str(session.path(name)), *options],
                          stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    if done.returncode != 0:
        raise HarnessError(f"scripts/package failed: {done.stderr.decode(errors='replace')}")
    return next(Path(line) for line in done.stdout.decode().splitlines() if line.endswith(".msi"))


def packages(session):
    """The build's installer and a newer one of the same programs: (old, new, old version, new version)."""
    old = make_package(session, "old")
    old_version = old.stem.split("-", 1)[1]
    major, minor, patch = old_version.split(".")
    new_version = f"{major}.{minor}.{int(patch) + 1}"
    return old, make_package(session, "new", "--version", new_version), old_version, new_version


class PackageInstall(unittest.TestCase):
    def test_install_run_upgrade_and_uninstall_keeping_the_keysets(self):
        with Session("package-install") as s:
            old, new, old_version, new_version = packages(s)
            install = Installer(s)
            s.own(_Uninstaller(install, new, old))
            store_keysets(s, keyset("Default"), keyset("waveedit"), com_port=0)
            s.wine.reg_delete(RUN_KEY, "qvl2rs")

            self.assertEqual(install("/i", old), 0)
            folder = install.linux_path(INSTALLED)
            self.assertEqual(sorted(p.name for p in folder.iterdir()), ["QVL2.exe", "qvl2rs.exe"])
            self.assertEqual(install.shortcuts(), {"QVL2 Editor": INSTALLED + "QVL2.exe",
                                                   "QVL2 Driver": INSTALLED + "qvl2rs.exe"})
            self.assertEqual([(p["DisplayVersion"], p["Publisher"]) for p in install.products()],
                             [(old_version, "Vendrake Electronics")])

            # The driver from its shortcut, against the simulator; it starts the editor beside it.
            s.screen()
            simulator = Simulator(s, "expect start\nwait 500\ntap play\n")
            probe = s.probe()
            since = probe.mark()
            driver = Driver(s, program=str(install.linux_path(install.shortcuts()["QVL2 Driver"])))
            self.assertEqual(driver.wait_port()["open"], "1")
            simulator.wait_for("rx b3")
            self.assertEqual(probe.wait_key_events(2, since),
                             [(VK["RETURN"], "down", False), (VK["RETURN"], "up", False)])
            driver.choose_from_menu(ID_OPEN_EDITOR)
            editor = s.wait_window("QVL2MainFrame", "Quorvel 2", timeout=30)
            s.post(editor.int("hwnd"), WM_CLOSE)
            driver.exit()
            wait_until(lambda: not s.processes("qvl2rs.exe") and not s.processes("QVL2.exe"), 20,
                       "the installed programs to end")
            s.wine.reg_set(RUN_KEY, "qvl2rs", INSTALLED_RUN_ENTRY)

            # A newer package replaces the programs in place and keeps the Run entry.
            self.assertEqual(install("/i", new), 0)
            self.assertEqual([p["DisplayVersion"] for p in install.products()], [new_version])
            self.assertEqual(sorted(p.name for p in folder.iterdir()), ["QVL2.exe", "qvl2rs.exe"])
            self.assertEqual(s.wine.reg_value(RUN_KEY, "qvl2rs"), INSTALLED_RUN_ENTRY)

            # Uninstalling takes the programs, the shortcuts, the entry and the Run entry; not the keysets.
            self.assertEqual(install("/x", new), 0)
            self.assertFalse(folder.exists() and any(folder.iterdir()), "the programs are gone")
            self.assertEqual(install.shortcuts(), {})
            self.assertEqual(install.products(), [])
            self.assertIsNone(s.wine.reg_value(RUN_KEY, "qvl2rs"))
            self.assertEqual(s.wine.reg_value(f"{KEYSETS}\\waveedit", "AppPref")[:9], b"waveedit\0")
            self.assertIsNotNone(s.wine.reg_query(EDITOR_KEY + "\\Settings"))

    def test_a_run_entry_of_a_driver_elsewhere_stays(self):
        with Session("package-other-run-entry") as s:
            old, new, _, _ = packages(s)
            install = Installer(s)
            s.own(_Uninstaller(install, new, old))
            elsewhere = '"' + s.wine.windows_path(s.wine.bin_dir) + '\\qvl2rs"'
            self.assertEqual(install("/i", old), 0)
            s.wine.reg_set(RUN_KEY, "qvl2rs", elsewhere)
            self.assertEqual(install("/x", old), 0)
            self.assertEqual(s.wine.reg_value(RUN_KEY, "qvl2rs"), elsewhere)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
