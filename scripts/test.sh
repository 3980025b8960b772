#!/usr/bin/env bash
# Builds kuranote with its tests and runs every test through CTest, headless.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh xvfb xauth openbox xdotool x11-utils x11-xserver-utils imagemagick
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j2
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure
