# Sourced by the tests that run the panel's real window under Wine: a virtual display of the test's own,
# the Wine prefix the caller names (WINEPREFIX; a throwaway one otherwise) given what a Windows desktop
# has, and the steps those tests take with the program and its window. Everything started here is ended
# when the test ends, however it ends.

wine=/usr/lib/wine/wine64
export WINEDEBUG=${WINEDEBUG:--all}
# The panel's own platform, whatever the caller chose for the offscreen suites.
export QT_QPA_PLATFORM=windows
caption="Marovan QB-vela Control Panel V1.0.0"
panel_pid=

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A Windows path to a file on this machine, through Wine's Z: drive.
windows_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

session_start() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/qbv-window.XXXXXX")
    trap session_end EXIT
    if [ -z "${WINEPREFIX:-}" ]; then
        export WINEPREFIX=$work/prefix
    fi
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || fail "the virtual display did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=:$(cat "$work/display")
    # Windows has Times New Roman; Wine has not, and would fall back to another serif face. Its metric twin
    # stands in through Wine's font replacements, as fontconfig makes it do on Linux.
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /d 'Liberation Serif' /f \
        >/dev/null || fail "could not give the Wine prefix its font replacement"
}

# A test's own tidying of the prefix, when it defines session_cleanup.
session_end() {
    [ -n "$panel_pid" ] && kill "$panel_pid" 2>/dev/null
    if declare -F session_cleanup >/dev/null; then
        session_cleanup
    fi
    /usr/lib/wine/wineserver -k >/dev/null 2>&1
    kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}

# A program folder as a user unpacks it: the panel with the Qt libraries and plugins it needs, and the
# runtime Qt needs, taken from the build's bin/ (where they lie for the suites).
#   make_program_folder FOLDER BIN
make_program_folder() {
    local folder=$1 bin=$2
    mkdir -p "$folder/platforms" "$folder/styles"
    cp "$bin/QBV_Control_Panel.exe" "$bin"/Qt6Core.dll "$bin"/Qt6Gui.dll "$bin"/Qt6Widgets.dll \
        "$bin"/libstdc++-6.dll "$bin"/libgcc_s_seh-1.dll "$bin"/libwinpthread-1.dll "$folder/"
    cp "$bin/platforms/qwindows.dll" "$folder/platforms/"
    cp "$bin"/styles/*.dll "$folder/styles/"
}

# Starts the panel from a folder; the fake JTAG library beside it writes its record to $record.
#   start_panel FOLDER
start_panel() {
    record=$work/record
    : >"$record"
    QBV_FAKE_JTAG_RECORD=$(windows_path "$record") "$wine" "$1/QBV_Control_Panel.exe" >"$work/panel.log" 2>&1 &
    panel_pid=$!
    local started=$SECONDS
    window=$(timeout 60 xdotool search --sync --name "^$caption\$" | head -1) ||
        fail "no window captioned \"$caption\" within 60 s"
    echo "window \"$caption\" shown $((SECONDS - started)) s after start"
}

# Waits up to SECONDS for a line of the record matching the regular expression.
#   wait_for_record REGEX SECONDS
wait_for_record() {
    local deadline=$((SECONDS + $2))
    until grep -qE "$1" "$record"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "the JTAG library's record has no line matching '$1' after $2 s"
        sleep 0.2
    done
}

# Waits up to SECONDS for COUNT lines of the record matching the regular expression.
#   wait_for_record_count REGEX COUNT SECONDS
wait_for_record_count() {
    local deadline=$((SECONDS + $3))
    until [ "$(grep -cE "$1" "$record")" -ge "$2" ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "the JTAG library's record has fewer than $2 lines matching '$1' after $3 s"
        sleep 0.2
    done
}

# Waits for the key polling that follows the first connection: a second key read.
wait_for_poll() {
    wait_for_record_count '^read ' 2 20
}

# The byte stream the board received since record line N: every write's bytes in order, space-separated.
received_since() {
    tail -n +"$(($1 + 1))" "$record" | sed -n 's/^write //p' | tr '\n' ' '
}

# Clicks the window at a point of its client area (the X window under Wine is the client area).
click_at() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
}

# Waits up to SECONDS for the panel to end; its exit code must be 0.
wait_for_panel_end() {
    local deadline=$((SECONDS + $1)) code=0
    while kill -0 "$panel_pid" 2>/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || fail "the panel still runs $1 s after it was closed"
        sleep 0.2
    done
    wait "$panel_pid" || code=$?
    panel_pid=
    [ "$code" = 0 ] || fail "the panel ended with exit code $code"
}
