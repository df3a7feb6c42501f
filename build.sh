#!/usr/bin/env bash
# Set-up, build and run, in one place. On a fresh Debian machine it installs
# what is missing (apt-get), configures and builds; a second run installs
# nothing and rebuilds only what changed.
#
#   ./build.sh sample   build what printing needs (not the tests), then print
#                       the built-in sample document into sample.job
#                       (further arguments go to the print tool)
#   ./build.sh test     build and run every test
#   ./build.sh asan     the same tests built with AddressSanitizer and UBSan
#   ./build.sh build    build only
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ ccache googletest libgtest-dev libgmock-dev libbenchmark-dev
          libpugixml-dev libfreetype-dev fonts-dejavu-core fonts-liberation2 fonts-wqy-microhei binutils-mingw-w64-x86-64 libpcre2-dev
          nlohmann-json3-dev libpng-dev libgif-dev pkg-config
          libpixman-1-dev libpolyclipping-dev)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

# The test programs use a precompiled header; ccache caches their files
# only when told that the header's time stamps and macros may be trusted.
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime

# configure_and_build DIR [--target TARGET] [CMAKE OPTIONS...]: configures
# DIR once, then builds everything, or only TARGET and what it needs.
configure_and_build() {
    local dir=$1; shift
    local target=()
    if [ "${1:-}" = "--target" ]; then
        target=(--target "$2"); shift 2
    fi
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@"
    fi
    cmake --build "$dir" "${target[@]}"
}

jobs() { nproc 2>/dev/null || echo 2; }

case "${1:-test}" in
    build)
        install_missing
        configure_and_build build
        ;;
    test)
        install_missing
        configure_and_build build
        (cd build && ctest --output-on-failure -j "$(jobs)")
        ;;
    asan)
        install_missing
        configure_and_build build-asan -DTAM_SANITIZE=ON
        (cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$(jobs)")
        ;;
    sample)
        install_missing
        # Only the print tool, the layer and the modules: not the tests.
        configure_and_build build --target printing
        build/bin/tamprint -o sample.job "${@:2}"
        ;;
    *)
        echo "usage: $0 [sample|test|asan|build]" >&2
        exit 2
        ;;
esac
