#!/usr/bin/env bash
# Builds kuranote in Release and makes its two packages in packages/: the Debian package
# kuranote_VERSION_ARCH.deb (for `apt install`), and kuranote-VERSION-linux-ARCH.tar.gz, a folder holding
# both programs and the sample files under sample/. Other files in packages/ (the Windows zip and installer)
# stay.
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-shlibdeps (dpkg-dev) computes the package's library dependencies; CPack finds the programs with file.
bash scripts/setup.sh dpkg-dev file
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DKURANOTE_BUILD_TESTS=OFF
cmake --build build-release -j2
mkdir -p packages
cpack --config build-release/CPackConfig.cmake -B packages
rm -rf packages/_CPack_Packages
ls -l packages
