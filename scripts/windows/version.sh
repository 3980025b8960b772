# shellcheck shell=bash
# The version of kuranote that the Windows scripts build, package and test: the one CMakeLists.txt sets.
# Source it; it sets kuranote_version.
kuranote_version=$(sed -n 's/^project(kuranote VERSION \([0-9.]*\).*/\1/p' \
    "$(dirname "${BASH_SOURCE[0]}")/../../CMakeLists.txt")
if [[ -z $kuranote_version ]]; then
    echo "$(dirname "${BASH_SOURCE[0]}")/../../CMakeLists.txt sets no version in project(kuranote VERSION ...)" >&2
    exit 1
fi
