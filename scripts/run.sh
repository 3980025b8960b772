#!/usr/bin/env bash
# Builds kuranote in Release, puts the programs into dist/ beside the sample files, and starts the checklist.
# The data, settings and word files already in dist/ hold the user's ticks and are never overwritten.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DKURANOTE_BUILD_TESTS=OFF
cmake --build build-release -j2

mkdir -p dist
cp build-release/bin/* dist/
for file in kuradata_v2.csv kurasize.dat kuraword.csv; do
    [ -e "dist/$file" ] || cp "sample/$file" "dist/$file"
done
exec dist/kuranote
