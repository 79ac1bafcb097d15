# Shared shell functions for running our Windows programs under Wine: the environment, the prefix,
# and the X display. Sourced by scripts/wine-run, scripts/test and scripts/run.
#
# Everything lives under build/wine of the checkout (override with QVL_WINE_DIR): the prefix, Wine's
# temporary folder (its server socket goes there) and the record of the X server we started.

QVL_ROOT=${QVL_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
QVL_WINE_DIR=${QVL_WINE_DIR:-$QVL_ROOT/build/wine}

qvl_wine_bin() {
    local dir
    for dir in /usr/lib/wine /usr/lib/x86_64-linux-gnu/wine /usr/lib64/wine; do
        if [ -x "$dir/wine64" ]; then
            printf '%s\n' "$dir"
            return 0
        fi
    done
    dir=$(dirname "$(dpkg -L wine64 2>/dev/null | grep '/wine64$' | head -n 1)" 2>/dev/null)
    [ -n "$dir" ] && [ -x "$dir/wine64" ] && printf '%s\n' "$dir" && return 0
    echo "wine64 not found: run scripts/bootstrap" >&2
    return 1
}

qvl_wine_env() {
    QVL_WINE_BIN=$(qvl_wine_bin) || return 1
    export QVL_WINE_BIN
    export WINEPREFIX="$QVL_WINE_DIR/prefix"
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export TMPDIR="$QVL_WINE_DIR/tmp"
    export WINESERVER="$QVL_WINE_BIN/wineserver"
    mkdir -p "$TMPDIR"
}

# Wine maps a few things at fixed addresses as a process starts; with the address space laid out at
# random, now and then something else is there first and the program ends at once with 1, before it
# runs ("failed to map the shared user data": about once in 2500 starts on a loaded machine). Without
# the randomisation (setarch -R, for Wine's processes only) the layout is the same at every start.
qvl_wine64() {
    if command -v setarch >/dev/null; then
        setarch -R "$QVL_WINE_BIN/wine64" "$@"
    else
        "$QVL_WINE_BIN/wine64" "$@"
    fi
}

# A display for Wine: the caller's, or one Xvfb kept for this Wine folder (Wine's desktop process
# stays connected to the display it started on, so every program of one prefix uses the same one).
qvl_display() {
    if [ -n "${QVL_KEEP_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
        return 0
    fi
    local record="$QVL_WINE_DIR/xvfb" number pid
    if [ -f "$record" ]; then
        read -r number pid < "$record"
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            export DISPLAY=":$number"
            return 0
        fi
    fi
    command -v Xvfb >/dev/null || { echo "Xvfb not found: run scripts/bootstrap" >&2; return 1; }
    local fifo="$QVL_WINE_DIR/xvfb.fd"
    rm -f "$fifo"
    mkfifo "$fifo"
    # -displayfd picks a free display number and writes it once the server is ready.
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 < /dev/null &
    pid=$!
    number=$(timeout 20 head -n 1 "$fifo")
    rm -f "$fifo"
    if [ -z "$number" ]; then
        echo "Xvfb did not start" >&2
        kill "$pid" 2>/dev/null
        return 1
    fi
    printf '%s %s\n' "$number" "$pid" > "$record"
    export DISPLAY=":$number"
}

# Create the prefix once, under a lock: programs started at once in a cold prefix race and some fail
# to load (exit code 53). Then keep the server running between programs.
qvl_wine_prefix() {
    mkdir -p "$QVL_WINE_DIR"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.qvl-ready" ]; then
            rm -rf "$WINEPREFIX"
            # Nothing started under the lock may keep its descriptor, or the lock is held for ever.
            qvl_wine64 wineboot -i >/dev/null 2>&1 </dev/null 9>&-
            "$WINESERVER" -w 9>&-
            qvl_unmanaged_windows 9>&-
            qvl_map_ports 9>&-
            touch "$WINEPREFIX/.qvl-ready"
        fi
        # A prefix made before the ports it maps now.
        if [ "$(cat "$WINEPREFIX/.qvl-ports" 2>/dev/null)" != "$QVL_MAPPED_PORTS" ]; then
            qvl_map_ports 9>&-
        fi
        # Also for a prefix made before the fonts were linked.
        [ -e "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ] || qvl_wine_fonts
        # A persistent server keeps the session's background processes running between programs.
        "$WINESERVER" -p >/dev/null 2>&1 </dev/null 9>&- || true
    ) 9>"$QVL_WINE_DIR/lock"
}

# Wine's own fonts (Debian's fonts-wine: Marlett, which draws the title-bar buttons, Tahoma, ...) lie
# in /usr/share/wine/fonts, where this Wine build does not look: without them the title-bar buttons
# show as letters. Their TrueType files are linked into the prefix's Fonts folder, where every program
# of the prefix finds them. The bitmap .fon files stay out: their MS Sans Serif, the font of our
# dialogs, comes in a few sizes only and leaves the text too small at 192 DPI, while the stand-in
# Wine takes without it (DejaVu Sans) scales with the DPI like the dialogs.
qvl_wine_fonts() {
    local fonts=/usr/share/wine/fonts target="$WINEPREFIX/drive_c/windows/Fonts"
    [ -d "$fonts" ] || return 0
    mkdir -p "$target"
    ln -sf "$fonts"/*.ttf "$target"/
}

# There is no window manager on our display. Wine would still hand its top-level windows to one and,
# each time a window is hidden, wait two seconds for the manager to confirm; windows Wine manages
# itself are hidden (and programs end) at once.
qvl_unmanaged_windows() {
    qvl_wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
}

# The ports of the prefix: each names a fixed link under build/wine/ports; Wine resolves a link when the
# program opens the port, so a test points comN at whatever it likes (a simulator's pty, a real
# serial device, a folder for "cannot be opened") without restarting the Wine server. Wine lists them
# all in HARDWARE\DEVICEMAP\SERIALCOMM.
QVL_MAPPED_PORTS="1 2 3 4 5 9 12"

# Wine also gives this machine's own serial devices (/dev/ttyS0, the console of many a virtual
# machine; /dev/ttyUSB0, ...) the next free COM numbers, and a driver that looks for the device would
# open them. Where a free number's dosdevices entry is a folder, Wine cannot make that port: numbers up
# to 64 are kept that way.
qvl_map_ports() {
    mkdir -p "$QVL_WINE_DIR/ports"
    local n
    for n in $QVL_MAPPED_PORTS; do
        qvl_wine64 reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /d "$QVL_WINE_DIR/ports/com$n" /f \
            >/dev/null 2>&1 </dev/null
    done
    # The serial mapping is read when the server starts.
    "$WINESERVER" -k >/dev/null 2>&1
    "$WINESERVER" -w
    for n in $(seq 1 64); do
        case " $QVL_MAPPED_PORTS " in *" $n "*) continue ;; esac
        rm -f "$WINEPREFIX/dosdevices/com$n"
        mkdir -p "$WINEPREFIX/dosdevices/com$n"
    done
    echo "$QVL_MAPPED_PORTS" >"$WINEPREFIX/.qvl-ports"
}

# Point COM<n> at a device path (or a folder, which no program can open as a port).
qvl_point_port() {
    mkdir -p "$QVL_WINE_DIR/ports"
    ln -sfn "$2" "$QVL_WINE_DIR/ports/com$1"
}

qvl_wine_ready() {
    qvl_wine_env && qvl_display && qvl_wine_prefix
}

# Stop the Wine server and our X server.
qvl_wine_shutdown() {
    qvl_wine_env || return 0
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    local record="$QVL_WINE_DIR/xvfb" number pid
    if [ -f "$record" ]; then
        read -r number pid < "$record"
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
        rm -f "$record"
    fi
}
