"""The Wine environment of our builds, seen from Python: the prefix, the programs, the registry and
the COM port links of scripts/lib/wine.sh."""

import os
import shutil
import subprocess
import tempfile
from pathlib import Path

from tool_log import HarnessError

ROOT = Path(__file__).resolve().parents[2]


class WineEnv:
    """The Wine environment of scripts/lib/wine.sh: the same build/wine folder, prefix, server and
    X display, set up by calling the shell functions themselves."""

    KEYS = ("WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES", "TMPDIR", "WINESERVER", "DISPLAY", "QVL_WINE_BIN")

    def __init__(self, root=ROOT, bin_dir=None):
        self.root = Path(root)
        self.wine_dir = Path(os.environ.get("QVL_WINE_DIR", self.root / "build" / "wine"))
        self.bin_dir = Path(bin_dir or os.environ.get("QVL_WIN_BIN", self.root / "build" / "win" / "bin"))
        self.env = None

    def ready(self):
        """Make sure the prefix, the server and the display exist (qvl_wine_ready); idempotent."""
        if self.env is not None:
            return self
        self.wine_dir.mkdir(parents=True, exist_ok=True)
        dump = self.wine_dir / f"env.{os.getpid()}"
        script = f'. "{self.root}/scripts/lib/wine.sh" && qvl_wine_ready && env -0 > "{dump}"'
        # Output goes to files: the server and Xvfb started here must not hold a pipe of ours.
        with open(os.devnull, "wb") as null:
            status = subprocess.run(
                ["bash", "-c", script],
                stdin=subprocess.DEVNULL,
                stdout=null,
                stderr=null,
                env={**os.environ, "QVL_WINE_DIR": str(self.wine_dir)},
                timeout=180,
            ).returncode
        if status != 0 or not dump.exists():
            raise HarnessError("the Wine environment could not be set up (scripts/lib/wine.sh, qvl_wine_ready)")
        values = dict(item.split("=", 1) for item in dump.read_bytes().decode().split("\0") if "=" in item)
        dump.unlink()
        self.env = {**os.environ, **{k: values[k] for k in self.KEYS if k in values}}
        return self

    @property
    def wine64(self):
        """How a Windows program is started: wine64, without address space randomisation when
        setarch is there (see qvl_wine64 in scripts/lib/wine.sh); a list to put the program after."""
        wine64 = str(Path(self.env["QVL_WINE_BIN"]) / "wine64")
        return ["setarch", "-R", wine64] if shutil.which("setarch") else [wine64]

    def program(self, name):
        """The absolute path of a program: a name in build/win/bin, or a path as it stands."""
        path = Path(name)
        if not path.is_absolute():
            path = self.bin_dir / name
        if not path.is_file():
            raise HarnessError(f"no such program: {path} (build the Windows build first)")
        return str(path)

    @staticmethod
    def windows_path(path):
        """The Windows name of a Linux path: the prefix maps drive Z: to /."""
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def command(self, program, args):
        # Always the absolute path: a bare name not found from the current folder makes Wine start
        # something else.
        return self.wine64 + [self.program(program)] + [str(a) for a in args]

    def reg(self, *args, check=True):
        """Run reg.exe of the prefix; returns (exit code, output)."""
        # Output through files, not pipes: the first program of a cold Wine session starts the
        # session's background processes, which inherit and keep open whatever the program had.
        self.wine_dir.mkdir(parents=True, exist_ok=True)
        with tempfile.TemporaryFile(dir=self.wine_dir) as out, tempfile.TemporaryFile(dir=self.wine_dir) as err:
            done = subprocess.run(
                [*self.wine64, "C:\\windows\\system32\\reg.exe", *args],
                env=self.env,
                stdin=subprocess.DEVNULL,
                stdout=out,
                stderr=err,
                timeout=60,
            )
            out.seek(0)
            err.seek(0)
            output = out.read().decode("cp1252", errors="replace")
            errors = err.read().decode(errors="replace")
        if check and done.returncode != 0:
            raise HarnessError(f"reg {' '.join(args)} failed: {errors.strip()}")
        return done.returncode, output

    def reg_query(self, key, name=None):
        """The values of a registry key as {name: (type, value)}; None when the key (or the named
        value) is missing. REG_BINARY comes back as bytes, REG_DWORD as int, the rest as str; the
        default value is named "(Default)"."""
        args = ["query", key] + (["/v", name] if name is not None else [])
        status, output = self.reg(*args, check=False)
        if status != 0:
            return None
        values = {}
        for line in output.splitlines():
            if not line.startswith("    "):
                continue
            parts = line[4:].split("    ", 2)
            if len(parts) < 2:
                continue
            value_name, value_type = parts[0], parts[1]
            data = parts[2] if len(parts) > 2 else ""
            if value_type == "REG_BINARY":
                values[value_name] = (value_type, bytes.fromhex(data))
            elif value_type in ("REG_DWORD", "REG_QWORD"):
                values[value_name] = (value_type, int(data, 0))
            else:
                values[value_name] = (value_type, data)
        return values

    def reg_value(self, key, name):
        """One value's data, or None when it is missing."""
        values = self.reg_query(key, name)
        return values[name][1] if values and name in values else None

    def reg_set(self, key, name, value, value_type=None):
        """Write a value: bytes as REG_BINARY, int as REG_DWORD, str as REG_SZ unless `value_type`
        says otherwise. Values of many kilobytes go through reg_import instead."""
        if value_type is None:
            value_type = "REG_BINARY" if isinstance(value, (bytes, bytearray)) else (
                "REG_DWORD" if isinstance(value, int) else "REG_SZ")
        data = bytes(value).hex() if isinstance(value, (bytes, bytearray)) else str(value)
        target = ["/ve"] if name is None else ["/v", name]
        self.reg("add", key, *target, "/t", value_type, "/d", data, "/f")

    def reg_delete(self, key, name=None):
        """Delete a value, or the whole key when `name` is None; a missing one is no error."""
        target = ["/v", name] if name is not None else []
        self.reg("delete", key, *target, "/f", check=False)

    def reg_import(self, path, values):
        """Write values of any size through a .reg file at `path`: `values` is
        {key: {name: bytes|int|str}}."""
        lines = ["REGEDIT4", ""]
        for key, entries in values.items():
            lines.append(f"[{key}]")
            for name, value in entries.items():
                label = "@" if name is None else '"' + name.replace("\\", "\\\\").replace('"', '\\"') + '"'
                if isinstance(value, (bytes, bytearray)):
                    hexed = ",".join(f"{b:02x}" for b in value)
                    lines.append(f"{label}=hex:{hexed}")
                elif isinstance(value, int):
                    lines.append(f"{label}=dword:{value:08x}")
                else:
                    lines.append(label + '="' + value.replace("\\", "\\\\").replace('"', '\\"') + '"')
            lines.append("")
        Path(path).write_text("\r\n".join(lines) + "\r\n", encoding="cp1252")
        self.reg("import", self.windows_path(path))

    def clear_ports(self):
        """Point every COM port of the prefix nowhere: a pty an earlier scenario left a link to may be
        another pty by now, and a driver looking for the device opens every port."""
        ports = self.wine_dir / "ports"
        if ports.is_dir():
            for link in ports.iterdir():
                if link.is_symlink():
                    link.unlink()

    def point_port(self, number, target):
        """Point COM<number> of the prefix at a device path (a pty, a serial device, or a folder,
        which no program can open as a port). Takes effect at the next open of the port."""
        ports = self.wine_dir / "ports"
        ports.mkdir(parents=True, exist_ok=True)
        link = ports / f"com{number}"
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(target)
