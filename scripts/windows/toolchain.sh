#!/usr/bin/env bash
# Builds, once, what kuranote needs for 64-bit Windows: ICU and Qt's base module, both from Debian's own
# source packages, cross-compiled with MinGW-w64 and installed into one prefix, TOOLCHAIN/prefix. Each of
# the two steps leaves a stamp naming its recipe (prefix/.icu-built, .qt-built); a later run that finds it
# skips the step. Debian serves only the current revision of a source package: a different upstream version
# stops the build, a new revision is taken, and the one built from is recorded beside the stamp
# (prefix/.icu-source, .qt-source), so that the stamps stay as earlier runs of this script read them.
# Called by scripts/windows.sh.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
toolchain="${1:?usage: toolchain.sh TOOLCHAIN_FOLDER}"
prefix="$toolchain/prefix"
cross_file="$here/../../cmake/mingw-w64-x86_64.cmake"

icu_options=(--enable-shared --disable-static --disable-tests --disable-samples --disable-extras)
# Qt's own text codecs come from ICU, as in Debian's Qt: the programs and their tests see the same
# converters on both platforms.
qt_options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_icu=ON -DFEATURE_tabletevent=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_pkg_config=OFF)
icu_version=72.1 qt_version=6.4.2
icu_recipe="icu $icu_version ${icu_options[*]}"
qt_recipe="qt6-base $qt_version ${qt_options[*]}"

started=$SECONDS
elapsed() { printf '%d min %02d s' $(((SECONDS - started) / 60)) $(((SECONDS - started) % 60)); }
is_built() { [[ -f $prefix/.$1-built && $(cat "$prefix/.$1-built") == "$2" ]]; }

# Debian's version of a fetched source package (1:6.4.2+dfsg-10 gives 6.4.2+dfsg-10), from its .dsc;
# empty when none was fetched.
fetched_version() {
    local dsc
    for dsc in "$toolchain/src/$1"_*.dsc; do
        [[ -f $dsc ]] && sed -n 's/^Version: \(.*:\)\{0,1\}//p' "$dsc" && return
    done
}

# Stops unless a Debian version (6.4.2+dfsg-10) is of the upstream version this script builds (6.4.2).
check_upstream() {
    local package=$1 expected=$2 found=$3 upstream=${3%-*}
    if [[ ${upstream%%+*} != "$expected" ]]; then
        echo "Debian's source package $package is now version $found, not $expected: this script builds" \
            "$package $expected only; its recipe must be brought up to $found first" >&2
        exit 1
    fi
}

# Writes the stamp of a finished step and, beside it, the Debian source it was built from.
stamp() {
    echo "$2" >"$prefix/.$3-built"
    echo "Debian source $1 $(fetched_version "$1")" >"$prefix/.$3-source"
}

# A step built before the Debian version was recorded gets it, from the source folder it was built from.
record_version() {
    local file=$prefix/.$2-source
    if [[ ! -f $file && -n $(fetched_version "$1") ]]; then
        echo "Debian source $1 $(fetched_version "$1")" >"$file"
    fi
    if [[ -f $file ]]; then
        echo "   from $(cat "$file")"
    fi
}

# apt-get source, with a deb-src entry made for this command alone: the machine's own sources stay as
# they are. The entry follows the machine's Debian mirror. Stops, naming the version, when Debian's
# source is of another upstream version than VERSION.
fetch_source() {
    local package=$1 version=$2 folder=$3 apt=$toolchain/apt
    if [[ -d $toolchain/src/$folder ]]; then
        check_upstream "$package" "$version" "$(fetched_version "$package")"
        echo "   Debian source $package $(fetched_version "$package"), fetched already"
        return
    fi
    mkdir -p "$toolchain/src" "$apt/sources" "$apt/lists/partial"
    sed -n '/^Types:/,/^$/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null |
        sed 's/^Types:.*/Types: deb-src/' >"$apt/sources/debian-src.sources"
    if ! grep -q '^URIs:' "$apt/sources/debian-src.sources"; then
        printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm bookworm-updates\nComponents: main\n' \
            >"$apt/sources/debian-src.sources"
    fi
    local options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt/sources"
        -o "Dir::State::Lists=$apt/lists" -o APT::Sandbox::User=root)
    apt-get "${options[@]}" update -qq
    local current
    current=$(apt-cache "${options[@]}" showsrc "$package" | sed -n 's/^Version: //p' | sort -V | tail -n 1)
    [[ -n $current ]] || { echo "Debian's sources hold no package $package" >&2; exit 1; }
    check_upstream "$package" "$version" "${current#*:}"
    echo "   Debian source $package ${current#*:}"
    (cd "$toolchain/src" && apt-get "${options[@]}" source -qq "$package=$current")
    [[ -d $toolchain/src/$folder ]] || { echo "apt-get source $package did not give $folder" >&2; exit 1; }
}

# Runs a step with its output in a log, and shows the log's end when it fails.
run_logged() {
    local log=$1
    shift
    if ! "$@" >>"$log" 2>&1; then
        tail -40 "$log" >&2
        echo "failed: $* (whole log: $log)" >&2
        exit 1
    fi
}

if is_built icu "$icu_recipe"; then
    echo "== ICU 72.1 for Windows: built already"
    record_version icu icu
else
    echo "== ICU 72.1 for Windows (a host build first: the cross-build runs its tools)"
    rm -rf "$prefix" "$toolchain/icu-windows" "$toolchain"/icu-*.log
    fetch_source icu "$icu_version" icu-72.1
    icu_source=$toolchain/src/icu-72.1/source
    mkdir -p "$toolchain/icu-host" "$toolchain/icu-windows"
    if [[ ! -f $toolchain/icu-host/.built ]]; then
        (cd "$toolchain/icu-host" &&
            run_logged "$toolchain/icu-host.log" "$icu_source/configure" --disable-tests --disable-samples &&
            run_logged "$toolchain/icu-host.log" make -j2)
        touch "$toolchain/icu-host/.built"
    fi
    echo "   host build done ($(elapsed))"
    (cd "$toolchain/icu-windows" &&
        run_logged "$toolchain/icu-windows.log" env CC=x86_64-w64-mingw32-gcc-posix CXX=x86_64-w64-mingw32-g++-posix \
            "$icu_source/configure" --host=x86_64-w64-mingw32 --with-cross-build="$toolchain/icu-host" \
            --prefix="$prefix" "${icu_options[@]}" &&
        run_logged "$toolchain/icu-windows.log" make -j2 &&
        run_logged "$toolchain/icu-windows.log" make install)
    stamp icu "$icu_recipe" icu
    rm -f "$prefix/.qt-built"
    echo "   ICU installed ($(elapsed))"
fi

if is_built qt "$qt_recipe"; then
    echo "== Qt 6.4.2 base for Windows: built already"
    record_version qt6-base qt
else
    echo "== Qt 6.4.2 base for Windows (1,231 steps; 31 minutes here on 2 cores)"
    fetch_source qt6-base "$qt_version" qt6-base-6.4.2+dfsg
    qt_build=$toolchain/qt-build
    # A build that stopped part way (a full disk, an interrupted run) resumes where it stopped; one
    # configured from another recipe or source starts again.
    qt_source="$qt_recipe from Debian source qt6-base $(fetched_version qt6-base)"
    if [[ -f $qt_build/build.ninja && $(cat "$qt_build/.kuranote-recipe" 2>/dev/null) == "$qt_source" ]]; then
        echo "   resuming the build in $qt_build"
    else
        rm -rf "$qt_build" "$toolchain"/qt-*.log
        # Debian's own moc, rcc and uic (the same version) do the host's part.
        run_logged "$toolchain/qt-configure.log" cmake -G Ninja -S "$toolchain/src/qt6-base-6.4.2+dfsg" \
            -B "$qt_build" -DCMAKE_TOOLCHAIN_FILE="$cross_file" -DCMAKE_FIND_ROOT_PATH="$prefix" \
            -DICU_ROOT="$prefix" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
            -DCMAKE_INSTALL_PREFIX="$prefix" "${qt_options[@]}"
        echo "$qt_source" >"$qt_build/.kuranote-recipe"
    fi
    # Ninja's status line counts the steps; one line in a hundred shows how far it is.
    if ! NINJA_STATUS='[%f/%t] ' cmake --build "$qt_build" -j2 2>&1 | tee -a "$toolchain/qt-build.log" |
        awk -F'[][/]' '/^\[[0-9]+\/[0-9]+\]/ && $2 % 100 == 0 { printf "   step %s of %s\n", $2, $3; fflush() }'; then
        tail -40 "$toolchain/qt-build.log" >&2
        echo "failed: the Qt build (whole log: $toolchain/qt-build.log)" >&2
        exit 1
    fi
    run_logged "$toolchain/qt-install.log" cmake --install "$qt_build"
    stamp qt6-base "$qt_recipe" qt
    echo "   Qt installed ($(elapsed))"
fi
echo "Windows toolchain ready in $prefix ($(elapsed) this run)"
