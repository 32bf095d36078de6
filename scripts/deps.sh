# Sourced by the run and test scripts: installs what a fresh Debian or Ubuntu
# machine lacks, and the locales the tests pin.
velmi_packages="g++ g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev wine wine64 fonts-wine
    xvfb xauth x11-utils cmake make googletest locales imagemagick clang-format git python3
    clang libclang-rt-dev nsis"

velmi_install_deps() {
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    local missing=""
    for p in $velmi_packages; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
    done
    if [ -n "$missing" ]; then
        echo "Installing:$missing"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
            $missing >/dev/null
    fi
    local need_gen=""
    for l in en_US en_GB; do
        locale -a 2>/dev/null | grep -qi "^$l.utf-\?8$" || need_gen=1
    done
    if [ -n "$need_gen" ]; then
        $sudo sed -i -E 's/^# *(en_US\.UTF-8|en_GB\.UTF-8)/\1/' /etc/locale.gen
        $sudo locale-gen >/dev/null
    fi
}

# Build trees live in $VELMI_BUILD_DIR (default: build/ in the checkout).
velmi_build() {
    local root="$1" out="${VELMI_BUILD_DIR:-$1/build}"
    cmake -S "$root" -B "$out/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$out/native" -j"$(nproc)"
    cmake -S "$root" -B "$out/win" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
    cmake --build "$out/win" -j"$(nproc)"
}

# The fuzz targets over the portable cores: clang with libFuzzer (whose
# runtime Debian ships apart, in libclang-rt-dev), in a third tree of their own.
velmi_build_fuzz() {
    local root="$1" out="${VELMI_BUILD_DIR:-$1/build}"
    cmake -S "$root/fuzz" -B "$out/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ >/dev/null
    cmake --build "$out/fuzz" -j"$(nproc)"
}
