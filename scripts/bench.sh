#!/usr/bin/env bash
# Builds the benchmark in Release and measures kuranote on generated catalogues of 10,000,
# 100,000 and 1,000,000 items. Prints a table; the figures also go to bench-results.tsv.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DKURANOTE_BUILD_TESTS=OFF
cmake --build build-release -j2 --target kuranote_bench
QT_QPA_PLATFORM=offscreen build-release/bench/kuranote_bench --out bench-results.tsv "$@"
