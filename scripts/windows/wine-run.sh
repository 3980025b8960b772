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
export QT_PLUGIN_PATH="Z:$prefix/plugins"
exec /usr/lib/wine/wine64 "$@"
