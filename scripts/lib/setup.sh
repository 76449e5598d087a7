# Sourced by the scripts: installs what is missing on Debian and builds the
# trees. Nothing here is needed on Windows.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD="$ROOT/build"
JOBS=${JOBS:-$(nproc)}

# Debian packages the build, the tests and the run need.
PACKAGES=(
    cmake make g++ python3 iproute2 locales
    libgtest-dev googletest libbenchmark-dev
    clang libclang-rt-14-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 xvfb imagemagick fonts-ipafont-gothic fonts-liberation
    nsis
)

need_root() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "$1 needs root (network namespaces, apt-get). Run it with sudo." >&2
        exit 1
    fi
}

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
    # Wine falls back to code page 1252 without the Japanese locale.
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
        sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
        locale-gen >/dev/null
    fi
}

# build_windows [TARGET...]: every target, or only those given.
build_windows() {
    cmake -S "$ROOT" -B "$BUILD/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$BUILD/win" -j "$JOBS" ${1:+--target "$@"}
}

# The program folder as a user gets it, under build/package/: zipped, and as a
# per-user installer. Needs build_windows first.
build_package() {
    local version out="$BUILD/package"
    local stage="$out/Routavista Monitor"
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/win/CMakeCache.txt")
    rm -rf "$out"
    mkdir -p "$stage"
    # Without the static runtime's debug sections, which users have no use for:
    # half the size. -p keeps the link's time stamp in the header.
    for exe in RMonitor.exe RMView.exe; do
        x86_64-w64-mingw32-strip -p -o "$stage/$exe" "$BUILD/win/src/win32/$exe"
    done
    # UTF-8 with a BOM and CR LF: Notepad of Windows 10 and 11 shows it right
    # whatever the system's code page.
    { printf '\xef\xbb\xbf'; sed 's/$/\r/' "$ROOT/packaging/はじめに.txt"; } >"$stage/はじめに.txt"
    python3 -c 'import shutil, sys; shutil.make_archive(sys.argv[1], "zip", sys.argv[2], sys.argv[3])' \
        "$out/RoutavistaMonitor-$version" "$out" "Routavista Monitor"
    makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" \
        -DICON="$ROOT/src/win32/res/program.ico" -DOUTFILE="$out/RoutavistaMonitor-$version-setup.exe" \
        "$ROOT/packaging/installer.nsi"
    echo "Packed: $out/RoutavistaMonitor-$version.zip, $out/RoutavistaMonitor-$version-setup.exe"
}

build_fuzz() {
    cmake -S "$ROOT" -B "$BUILD/fuzz" -DRM_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all" >/dev/null
    cmake --build "$BUILD/fuzz" -j "$JOBS"
}

build_native() {
    cmake -S "$ROOT" -B "$BUILD/native" -DRM_WIN_BUILD_DIR="$BUILD/win" -DRM_FUZZ_BUILD_DIR="$BUILD/fuzz" \
        >/dev/null
    cmake --build "$BUILD/native" -j "$JOBS"
}
