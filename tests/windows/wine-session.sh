# Sourced by the tests that run the panel's real window under Wine: a virtual display of the test's own,
# the Wine prefix the caller names (WINEPREFIX; a throwaway one otherwise) given what a Windows desktop
# has, and the steps those tests take with the program and its window. Everything started here is ended
# when the test ends, however it ends.

wine=/usr/lib/wine/wine64
export WINEDEBUG=${WINEDEBUG:--all}
# Wine reads Unix file names in the locale's encoding: UTF-8, so that a folder named in any script reaches
# the programs whole.
export LC_ALL=C.UTF-8
# The panel's own platform, whatever the caller chose for the offscreen suites.
export QT_QPA_PLATFORM=windows
caption="Marovan QB-vela Control Panel V1.0.0"
panel_pid=

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A file's path as Windows programs under Wine see it: on drive C: inside the prefix, through the Z: drive
# elsewhere.
windows_path() {
    local path drive_c
    path=$(realpath -m "$1")
    drive_c=$(realpath -m "$WINEPREFIX/drive_c")
    case "$path" in
    "$drive_c"/*) path="C:${path#"$drive_c"}" ;;
    *) path="Z:$path" ;;
    esac
    printf '%s' "${path//\//\\}"
}

# The file behind a path on drive C: of the prefix.
unix_path() {
    local path=${1#[Cc]:}
    printf '%s' "$WINEPREFIX/drive_c${path//\\//}"
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
    # Wine's desktop process belongs to the display it started on: one left from earlier programs of the
    # prefix, on another display or none, would take this test's windows. A new prefix is made quietly:
    # Wine tells at length of what it sets up.
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    [ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i >/dev/null 2>&1
    # Windows has Times New Roman; Wine has not, and would fall back to another serif face. Its metric twin
    # stands in through Wine's font replacements, as fontconfig makes it do on Linux.
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /d 'Liberation Serif' /f \
        >/dev/null || fail "could not give the Wine prefix its font replacement"
}

session_end() {
    [ -n "$panel_pid" ] && kill "$panel_pid" 2>/dev/null
    [ -n "${toolchain:-}" ] && "$wine" reg delete "$quartus_key" /f >/dev/null 2>&1
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
    window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$caption\$" | head -1) ||
        fail "no window captioned \"$caption\" within 60 s"
    echo "window \"$caption\" shown $((SECONDS - started)) s after start"
}

# Asks the probe, copied into the program folder, where the window's controls lie and which font its
# buttons get on this display; point NAME then gives what it said of NAME.
#   probe_window PROBE FOLDER
probe_window() {
    cp "$1" "$2/"
    probe=$("$wine" "$2/$(basename "$1")" | tr -d '\r')
}
point() {
    sed -n "s/^$1 //p" <<<"$probe"
}

# Checks the first connection as the record shows it: the library loaded from the program folder, the
# link opened with the usual arguments, ping and read keys; then waits for the key polling that follows,
# once the controls are shown.
#   check_connected FOLDER
check_connected() {
    wait_for_record '^read ' 20
    local expected
    expected="load $(windows_path "$1/alt_jtaglib.dll")
init 0 0 0 0 128 -1 jtag_term 1
atlantic_init
write 00
write 06
read 00"
    [ "$(head -6 "$record")" = "$expected" ] ||
        fail "the connection went otherwise: $(head -6 "$record" | tr '\n' '|') instead of $(tr '\n' '|' <<<"$expected")"
    wait_for_record_count '^read ' 2 20
    echo "connected: the library loaded from the program's folder, the link opened, ping and read keys answered"
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


# The byte stream the board received since record line N: every write's bytes in order, space-separated.
received_since() {
    tail -n +"$(($1 + 1))" "$record" | sed -n 's/^write //p' | tr '\n' ' '
}

# Clicks the window at a point of its client area (the X window under Wine is the client area).
click_at() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
}

# Gives WINDOW the focus and types KEYS there. A window Wine has only just mapped can refuse the focus
# for a moment (BadMatch), so the focus is asked again before the step counts as failed.
#   press_in WINDOW KEYS...
press_in() {
    local target=$1 attempt
    shift
    for attempt in 1 2 3 4 5; do
        xdotool windowfocus --sync "$target" key "$@" 2>/dev/null && return
        sleep 0.5
    done
    fail "window $target took no focus for $*"
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

# The vendor's tool chain as its installer leaves it, in a folder with a blank in its name that the
# registry names, with the test programmer (tests/programming) as its programmer. The test programmer, and
# whatever else is a copy of it, takes its orders from the environment it inherits from the panel and
# notes how it was started in $programs.
#   register_tool_chain TEST_PROGRAMMER
quartus_key='HKLM\Software\Altera Corporation\Quartus'
register_tool_chain() {
    toolchain="$work/Quartus Prime"
    mkdir -p "$toolchain/bin"
    cp "$1" "$toolchain/bin/quartus_pgm.exe"
    "$wine" reg add "$quartus_key" /v 'Quartus Install Directory' /d "$(windows_path "$toolchain")" /f >/dev/null
    programs=$work/programs
    export QBV_TEST_PROGRAMMER_RECORD=$(windows_path "$programs") QBV_TEST_PROGRAMMER_RUN_MS=300 \
        QBV_TEST_PROGRAMMER_EXIT=0
}

# Waits up to 20 s for the programs' record to hold this line (COUNT times: 1 when not given).
#   wait_for_program_line LINE [COUNT]
wait_for_program_line() {
    local deadline=$((SECONDS + 20))
    until [ -f "$programs" ] && [ "$(tr -d '\r' <"$programs" | grep -cxF "$1")" -ge "${2:-1}" ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "no program noted '$1' within 20 s: $(cat "$programs" 2>/dev/null)"
        sleep 0.2
    done
}

# Clicks Download .POF and checks the run: the registered programmer started on the chain definition file
# at CHAIN, whose bytes name the design file in FOLDER with slashes and end every line with CR LF, and the
# panel connected again afterwards.
#   program_and_check CHAIN FOLDER
program_and_check() {
    local chain=$1 inits programmed expected design
    rm -f "$programs" "$chain"
    inits=$(grep -c '^init ' "$record")
    click_at $(point download)
    wait_for_program_line end
    programmed=$(tr -d '\r' <"$programs")
    expected="module=$(windows_path "$toolchain/bin/quartus_pgm.exe")
argv=-c
argv=USB-Blaster[USB-0]
argv=$(windows_path "$chain")"
    [ "$(grep -E '^(module|argv)=' <<<"$programmed")" = "$expected" ] ||
        fail "the programmer was started otherwise: $programmed"
    [ -f "$chain" ] || fail "no chain definition file at $chain"
    design=$(windows_path "$2")/
    grep -qF "Path(\"${design//\\//}\") File(\"QBV_Control_Panel.pof\")" "$chain" ||
        fail "the chain definition file does not name the design file with slashes: $(cat "$chain")"
    ! grep -qF '\' "$chain" || fail "a backslash is left in the chain definition file"
    [ "$(grep -c $'\r$' "$chain")" = "$(wc -l <"$chain")" ] || fail "a line of the chain definition file lacks its CR"
    [ "$(tail -c 2 "$chain" | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
        fail "the chain definition file does not end with CR LF"
    # Connected again after the success: the link opened anew and the keys are polled.
    wait_for_record_count '^init ' $((inits + 1)) 30
    wait_for_record_count '^read ' $(($(grep -c '^read ' "$record") + 2)) 20
}
