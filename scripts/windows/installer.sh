#!/usr/bin/env bash
# Makes the Windows installer from the zip with Debian's NSIS (packaging/windows/kuranote.nsi): exactly the
# zip's files, and kuranote-files.txt listing them, by which the installer removes an older version's files
# and the uninstaller its own.
# Usage: installer.sh ZIP SETUP.EXE [--version VERSION] [--leave-out PATH]
#   --version and --leave-out make the installers an upgrade is tested with: another version, and one
#   without a file of the zip (PATH inside the zip's folder).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
usage() {
    echo "usage: $0 ZIP SETUP.EXE [--version VERSION] [--leave-out PATH]" >&2
    exit 2
}
(($# >= 2)) || usage
zip=$(realpath "$1") setup=$(realpath -m "$2")
shift 2
# shellcheck source=version.sh
source "$root/scripts/windows/version.sh"
version=$kuranote_version leave_out=
while (($#)); do
    case $1 in
    --version) version=${2:?}; shift 2 ;;
    --leave-out) leave_out=${2:?}; shift 2 ;;
    *) usage ;;
    esac
done
[[ $version =~ ^[0-9]+(\.[0-9]+){0,3}$ ]] || { echo "installer.sh: not a version: $version" >&2; exit 2; }
# Windows' version resource takes four numbers.
version4=$version
while [[ $version4 =~ ^[0-9]+(\.[0-9]+){0,2}$ ]]; do version4+=.0; done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
unzip -q "$zip" -d "$stage"
files=$stage/$(basename "$zip" .zip)
[[ -d $files ]] || { echo "installer.sh: $zip holds no folder $(basename "$zip" .zip)" >&2; exit 1; }
if [[ -n $leave_out ]]; then
    rm "$files/$leave_out"
fi
# The files, then their folders deepest first (each removed only when empty), as Windows writes paths.
(cd "$files" && {
    find . -type f | sort
    find . -mindepth 1 -type d | sort -r | sed 's|$|/|'
}) | sed 's|^\./||; s|/|\\|g; s|$|\r|' >"$stage/list"
mv "$stage/list" "$files/kuranote-files.txt"

mkdir -p "$(dirname "$setup")"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION4="$version4" -DSOURCE="$files" \
    -DOUTFILE="$setup" -DICON="$root/resources/windows/kuranote.ico" -DLICENSE="$root/LICENSE" \
    "$root/packaging/windows/kuranote.nsi"
echo "$setup: $(du -h "$setup" | cut -f1), version $version, $(find "$files" -type f | wc -l) files with their list"
