#!/usr/bin/env bash
# Builds kuranote with its tests and runs every test through CTest, headless.
set -euo pipefail
cd "$(dirname "$0")/.."

# The package check (tests/package) also needs the packaging tools, Debian's package checker, man, and the
# validators of the menu entry and the software-centre entry; the injected faults need libfiu's and libfaketime's
# preloads.
bash scripts/setup.sh xvfb xauth openbox xdotool x11-utils x11-xserver-utils imagemagick dpkg-dev file \
    desktop-file-utils appstream lintian man-db fiu-utils faketime
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j2
export QT_QPA_PLATFORM=offscreen
# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of each fuzz target.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKURANOTE_SANITIZE=ON
cmake --build build-asan -j2
LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" ctest --test-dir build-asan --output-on-failure
FUZZ_JOBS=2 bash scripts/fuzz.sh 10
ctest --test-dir build-test --output-on-failure
