#!/usr/bin/env bash
# Makes the portable folder of the Windows build and zips it: both programs, exactly the DLLs they load
# (found by walking their imports, as Qt's deployment tool does), the platform and style plugins, Qt's
# Japanese texts, the sample catalogue, settings and word file in sample/ only (the seed of the user's data
# folder: nothing in the zip lands where the programs write, so unpacking it over a folder keeps the
# ticks), a read-me and the licence texts. A DLL that is neither found nor one of Windows' own
# (windows-dlls.txt) stops it with its name.
# Usage: deploy.sh BUILD_DIR PREFIX TOOLCHAIN_SOURCES ZIP
set -euo pipefail
build=$1 prefix=$2 sources=$3 zip=$(realpath -m "$4")
root="$(cd "$(dirname "$0")/../.." && pwd)"
name=$(basename "$zip" .zip)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder=$stage/$name
# The folder of TOOLCHAIN_SOURCES that a toolchain step (qt, icu) was built from, as toolchain.sh records it
# beside its stamp: "Debian source qt6-base 6.4.2+dfsg-10" was unpacked into qt6-base-6.4.2+dfsg.
source_folder() {
    local record=$prefix/.$1-source package version
    read -r _ _ package version <"$record" 2>/dev/null ||
        { echo "deploy.sh: no record of the Debian source $1 was built from ($record): run toolchain.sh" >&2; exit 1; }
    [[ -d $sources/$package-${version%-*} ]] ||
        { echo "deploy.sh: $record names $package $version, but $sources holds no $package-${version%-*}" >&2; exit 1; }
    echo "$sources/$package-${version%-*}"
}
qt_source=$(source_folder qt)
icu_source=$(source_folder icu)
mkdir -p "$folder/platforms" "$folder/styles" "$folder/translations" "$folder/sample" "$folder/licenses"

cp "$build/bin/kuranote.exe" "$build/bin/kuranote_conv.exe" "$folder/"
cp "$prefix/plugins/platforms/qwindows.dll" "$folder/platforms/"
cp "$prefix/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"
cp /usr/share/qt6/translations/qtbase_ja.qm "$folder/translations/"
# Qt's paths are the folder's own: translations/ beside the programs.
printf '[Paths]\nPrefix = .\n' >"$folder/qt.conf"

# The DLLs: each one imported by a program, a plugin or a DLL already taken, found in the toolchain or in
# MinGW's runtime, or else on the list of Windows' own.
search=("$prefix/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
pending=("$folder"/*.exe "$folder"/platforms/*.dll "$folder"/styles/*.dll)
declare -A taken=() windows_own=()
while read -r dll; do
    windows_own[${dll,,}]=1
done < <(sed -e 's/#.*//' -e '/^\s*$/d' "$root/scripts/windows/windows-dlls.txt")
while ((${#pending[@]})); do
    binary=${pending[0]}
    pending=("${pending[@]:1}")
    while read -r dll; do
        key=${dll,,}
        [[ -n ${taken[$key]:-} ]] && continue
        taken[$key]=1
        found=$(find "${search[@]}" -maxdepth 1 -iname "$dll" -print -quit)
        if [[ -z $found ]]; then
            [[ -n ${windows_own[$key]:-} ]] && continue
            echo "deploy.sh: $(basename "$binary") imports $dll, which is neither in the toolchain nor in" \
                "MinGW's runtime nor one of Windows' own DLLs (scripts/windows/windows-dlls.txt)" >&2
            exit 1
        fi
        cp "$found" "$folder/"
        pending+=("$folder/$(basename "$found")")
    done < <(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p')
done
# Debug information stays in the build; the zip gets what runs.
x86_64-w64-mingw32-strip --strip-unneeded "$folder"/*.exe "$folder"/*.dll "$folder"/platforms/*.dll \
    "$folder"/styles/*.dll

for file in kuradata_v2.csv kurasize.dat kuraword.csv; do
    cp "$root/sample/$file" "$folder/sample/"
done
# Read-me files with Windows line ends, as Notepad opens them everywhere.
sed 's/$/\r/' "$root/packaging/windows/README.txt" >"$folder/README.txt"
sed 's/$/\r/' "$root/LICENSE" >"$folder/licenses/kuranote-GPL-3.0.txt"
sed 's/$/\r/' "$qt_source/LICENSES/LGPL-3.0-only.txt" >"$folder/licenses/Qt-LGPL-3.0.txt"
sed 's/$/\r/' "$qt_source/LICENSES/GPL-3.0-only.txt" >"$folder/licenses/Qt-GPL-3.0.txt"
sed 's/$/\r/' "$icu_source/LICENSE" >"$folder/licenses/ICU-LICENSE.txt"
sed 's/$/\r/' /usr/share/doc/gcc-mingw-w64-base/copyright >"$folder/licenses/MinGW-GCC-runtime.txt"
sed 's/$/\r/' /usr/share/doc/mingw-w64-common/copyright >"$folder/licenses/MinGW-w64-runtime.txt"

mkdir -p "$(dirname "$zip")"
rm -f "$zip"
(cd "$stage" && zip -qrX "$zip" "$name")
echo "$zip: $(du -h "$zip" | cut -f1), $(find "$folder" -name '*.dll' | wc -l) DLLs"
