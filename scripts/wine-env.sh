# Sourced by every script that runs the Windows programs: the Wine binary
# and its environment, a virtual X display, and what is undone on exit.
#   source "$(dirname "$0")/wine-env.sh"
#   wine_env PREFIX        exports WINEPREFIX=PREFIX (kept when already set
#                          and PREFIX is empty), WINEDEBUG (-all unless set)
#                          and WINEDLLOVERRIDES; $wine is the Wine binary
#                          (wine64 where Debian keeps it apart)
#   start_display [SCREEN] starts Xvfb on a free display (SCREEN
#                          WIDTHxHEIGHTxDEPTH, 1024x768x24 unless told) and
#                          exports DISPLAY
#   on_exit COMMAND        runs COMMAND (with eval) when the script ends,
#                          after those given before it: the prefix's
#                          wineserver is stopped, then the display

qz_exit_commands=()
qz_on_exit() {
    local command
    for command in "${qz_exit_commands[@]}"; do eval "$command" || true; done
}
trap qz_on_exit EXIT
on_exit() { qz_exit_commands+=("$1"); }

wine_env() {
    if [[ -n ${1:-} ]]; then export WINEPREFIX=$1; fi
    : "${WINEPREFIX:?wine_env needs a prefix}"
    export WINEPREFIX
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="mscoree,mshtml="
    wine=wine
    [[ -x /usr/lib/wine/wine64 ]] && wine=/usr/lib/wine/wine64
    on_exit 'wineserver -k >/dev/null 2>&1'
}

start_display() {
    local number_file
    number_file=$(mktemp)
    # Xvfb picks a free display number and writes it out.
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    qz_xvfb=$!
    on_exit 'kill $qz_xvfb 2>/dev/null'
    for _ in $(seq 100); do [[ -s "$number_file" ]] && break; sleep 0.1; done
    export DISPLAY=:$(head -n 1 "$number_file")
    rm -f "$number_file"
}
