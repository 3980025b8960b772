#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, with the DLLs of the Windows toolchain and of MinGW's
# runtime on its path: the emulator CTest runs every Windows test with.
# Usage: wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]   (PREFIX: Qt and ICU for Windows)
set -euo pipefail
prefix=$1
shift
# Wine without its optional .NET and browser runtimes, whose installers would ask for a download.
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=${WINEDEBUG:--all}
# Wine maps the Unix root to drive Z:.
export WINEPATH="Z:$prefix/bin;Z:/usr/lib/gcc/x86_64-w64-mingw32/12-posix;Z:/usr/x86_64-w64-mingw32/lib"
# Wine keeps the host's QT_ variables from Windows programs; a variable named WINEQT_... reaches them as QT_...
# (the tests' QT_QPA_PLATFORM=offscreen, above all).
while IFS='=' read -r name _; do
    [[ $name == QT_* ]] && export "WINE$name=${!name}"
done < <(env)

# Under Wine a Qt Test program's report reaches neither a pipe nor a file on its standard output: it
# writes it to a file of its own, shown when it ends.
if [[ $(basename "$1") == tst_*.exe && " $* " != *" -o "* ]]; then
    report=$(mktemp)
    trap 'rm -f "$report"' EXIT
    code=0
    /usr/lib/wine/wine64 "$@" -o "$report,txt" || code=$?
    cat "$report"
    exit "$code"
fi
exec /usr/lib/wine/wine64 "$@"
