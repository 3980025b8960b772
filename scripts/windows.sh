#!/usr/bin/env bash
# Builds kuranote for 64-bit Windows on Debian 12 and tests it under Wine, with Debian's packages only:
#   1. Qt and ICU for Windows, cross-built once from Debian's source packages into a toolchain folder
#      outside the tree (KURANOTE_WINDOWS_TOOLCHAIN, default ~/.cache/kuranote-windows-toolchain);
#   2. both programs and the unit tests, cross-built with MinGW-w64 into build-windows/;
#   3. the unit tests under Wine, headless, through CTest;
#   4. packages/kuranote-VERSION-windows-x86_64.zip, the portable folder;
#   5. packages/kuranote-VERSION-windows-x86_64-setup.exe, the installer (Debian's NSIS), of the zip's files;
#   6. the programs unpacked from the zip, and then the installer, in real windows under Wine (Xvfb and
#      openbox), with a picture of the programs into docs/windows.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
toolchain=${KURANOTE_WINDOWS_TOOLCHAIN:-$HOME/.cache/kuranote-windows-toolchain}
prefix=$toolchain/prefix
# shellcheck source=windows/version.sh
source scripts/windows/version.sh
version=$kuranote_version
zip=packages/kuranote-$version-windows-x86_64.zip
setup=packages/kuranote-$version-windows-x86_64-setup.exe

started=$SECONDS
step_started=$SECONDS
step() {
    (($# == 0)) || printf '\n== %s\n' "$*"
    step_started=$SECONDS
}
took() { printf '   took %d min %02d s\n' $(((SECONDS - step_started) / 60)) $(((SECONDS - step_started) % 60)); }

# The cross compilers, Wine, the source packages' tools (dpkg-dev), NSIS and what the real-window runs need.
bash scripts/setup.sh g++-mingw-w64-x86-64-posix wine64 ninja-build dpkg-dev zip nsis icoutils xvfb xauth openbox xdotool \
    x11-utils imagemagick fonts-ipafont-gothic qt6-translations-l10n

step "1/6 Qt and ICU for Windows, into $toolchain"
bash scripts/windows/toolchain.sh "$toolchain"
took

step "2/6 kuranote and its tests for Windows, into build-windows/"
# The Linux converter too: the real-window run compares what both converters write.
cmake -S . -B build-linux -G Ninja -DCMAKE_BUILD_TYPE=Release -DKURANOTE_BUILD_TESTS=OFF >/dev/null
cmake --build build-linux -j2 --target kuranote_conv
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -DICU_ROOT="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR="bash;$root/scripts/windows/wine-run.sh;$prefix" >/dev/null
cmake --build build-windows -j2
took

step "3/6 the unit tests under Wine"
export WINEPREFIX=$root/build-windows/wine
# The offscreen platform draws with the fonts of one folder: the IPA Gothic fonts, as Linux's tests use.
export QT_QPA_FONTDIR=Z:/usr/share/fonts/opentype/ipafont-gothic
# Wine makes its prefix on the first start; the first test would time out waiting for it.
if ! wine_said=$(WINEDEBUG=err+all bash scripts/windows/wine-run.sh "$prefix" wineboot --init 2>&1); then
    printf '%s\n' "$wine_said" >&2
    echo "Wine did not start: wineboot --init failed (above: what Wine said)" >&2
    exit 1
fi
ctest --test-dir build-windows -j2 --output-on-failure
took

step "4/6 $zip"
bash scripts/windows/deploy.sh build-windows "$prefix" "$toolchain/src" "$zip"
took

step "5/6 $setup"
bash scripts/windows/installer.sh "$zip" "$setup"
took

step "6/6 the programs from the zip, then the installer, in real windows under Wine"
unset WINEPREFIX QT_QPA_FONTDIR
bash tests/e2e/run_wine_e2e.sh "$zip" build-linux/bin/kuranote_conv tests/e2e/files docs/windows.png
bash tests/e2e/run_wine_installer.sh "$setup" "$zip"
took

printf '\nWindows build, tests, zip and installer done in %d min %02d s: %s, %s\n' $(((SECONDS - started) / 60)) \
    $(((SECONDS - started) % 60)) "$zip" "$setup"
