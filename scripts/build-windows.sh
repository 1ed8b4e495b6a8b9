#!/usr/bin/env bash
# Cross-builds Portico for 64-bit Windows with Debian's mingw-w64:
#   scripts/build-windows.sh [BUILD_DIR] [EXTRA CMAKE ARGS...]
# The launcher ends up at BUILD_DIR/portico.exe (BUILD_DIR defaults to
# build-win/): one static GUI executable that needs no DLL beyond those
# Windows ships; the skin designer's tool portico-skin.exe, a console
# program, beside it. The unit tests are built there too, and a Wine prefix
# for running them (BUILD_DIR/wine) is made once.
#
# libjpeg-turbo and libpng are built from Debian's source packages
# (apt-get source; scripts/install-deps.sh gives apt their deb-src
# entries), zlib comes from Debian's libz-mingw-w64-dev and
# GoogleTest from the sources of Debian's googletest package; each is built
# once into BUILD_DIR/deps. Nothing is downloaded from anywhere else.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$root/build-win}
[[ $# -gt 0 ]] && shift
build_dir=$(realpath -m "$build_dir")
toolchain=$root/cmake/mingw-w64-x86_64.cmake
deps=$build_dir/deps
prefix=$deps/prefix

# Unpacks Debian's source package PACKAGE into BUILD_DIR/deps/src/PACKAGE
# and prints the folder it made. When the newest version's files cannot be
# had (a security update whose sources the mirror lacks), the other
# versions apt knows are tried, newest first.
debian_source() {
  local package=$1 dest=$deps/src/$1 version folder
  apt-get source --print-uris -qq "$package" >/dev/null 2>&1 ||
    { echo "build-windows: apt knows no source package $package (run scripts/install-deps.sh)" >&2; return 1; }
  rm -rf "$dest"
  mkdir -p "$dest"
  for version in "" $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -rV); do
    if (cd "$dest" && apt-get -o APT::Sandbox::User=root source -qq "$package${version:+=$version}" \
      >/dev/null 2>&1); then
      folder=$(find "$dest" -mindepth 1 -maxdepth 1 -type d | head -n 1)
      [[ -n "$folder" ]] && { echo "$folder"; return 0; }
    fi
  done
  echo "build-windows: apt-get source $package gave no source folder" >&2
  return 1
}

# libjpeg-turbo from Debian's source package, static, for the target.
build_libjpeg() {
  [[ -f "$prefix/lib/libjpeg.a" ]] && return 0
  local src
  src=$(debian_source libjpeg-turbo)
  rm -rf "$deps/build-jpeg"
  echo "build-windows: building $(basename "$src") for Windows"
  # No SIMD: it needs the nasm assembler, which the build does not use otherwise.
  cmake -S "$src" -B "$deps/build-jpeg" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF >/dev/null
  ninja -C "$deps/build-jpeg" jpeg-static >/dev/null
  install -D -m 644 "$deps/build-jpeg/libjpeg.a" "$prefix/lib/libjpeg.a"
  install -d "$prefix/include"
  install -m 644 "$src"/{jpeglib.h,jmorecfg.h,jerror.h} "$deps/build-jpeg/jconfig.h" "$prefix/include/"
}

# libpng from Debian's source package, static, for the target: the library
# alone, against the zlib of libz-mingw-w64-dev (the compiler's own root).
# Only portico-skin.exe links it.
build_libpng() {
  [[ -f "$prefix/lib/libpng16.a" ]] && return 0
  [[ -f /usr/x86_64-w64-mingw32/lib/libz.a ]] ||
    { echo "build-windows: no zlib for Windows (package libz-mingw-w64-dev)" >&2; return 1; }
  local src
  src=$(debian_source libpng1.6)
  rm -rf "$deps/build-png"
  echo "build-windows: building $(basename "$src") for Windows"
  cmake -S "$src" -B "$deps/build-png" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF >/dev/null
  ninja -C "$deps/build-png" png_static >/dev/null
  install -D -m 644 "$deps/build-png/libpng16.a" "$prefix/lib/libpng16.a"
  install -d "$prefix/include"
  install -m 644 "$src"/{png.h,pngconf.h} "$deps/build-png/pnglibconf.h" "$prefix/include/"
}

# GoogleTest from /usr/src/googletest (Debian's googletest package).
build_googletest() {
  [[ -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ]] && return 0
  [[ -d /usr/src/googletest ]] || { echo "build-windows: no /usr/src/googletest (package googletest)" >&2; return 1; }
  echo "build-windows: building GoogleTest for Windows"
  rm -rf "$deps/build-gtest"
  cmake -S /usr/src/googletest -B "$deps/build-gtest" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=ON >/dev/null
  ninja -C "$deps/build-gtest" install >/dev/null
}

# An executable is a 64-bit program of the given subsystem ("Windows GUI"
# or "Windows CUI", a console program) that imports only system DLLs.
check_exe() {
  local exe=$1 subsystem=$2 headers dll
  headers=$(x86_64-w64-mingw32-objdump -p "$exe")
  grep -q '^Magic.*020b' <<<"$headers" || { echo "build-windows: $exe is not 64-bit" >&2; return 1; }
  grep -q "Subsystem.*$subsystem" <<<"$headers" || { echo "build-windows: $exe is no $subsystem program" >&2; return 1; }
  for dll in $(sed -n 's/.*DLL Name: //p' <<<"$headers"); do
    case "${dll,,}" in
      gdi32.dll | kernel32.dll | msvcrt.dll | ole32.dll | oleacc.dll | oleaut32.dll | shell32.dll | user32.dll) ;;
      *) echo "build-windows: $exe needs $dll, which Windows does not ship" >&2; return 1 ;;
    esac
  done
}

main() {
  mkdir -p "$deps"
  build_libjpeg
  build_libpng
  build_googletest
  (cd "$root" && cmake --preset windows -B "$build_dir" -DCMAKE_FIND_ROOT_PATH="$prefix" "$@")
  cmake --build "$build_dir"
  check_exe "$build_dir/portico.exe" "Windows GUI"
  check_exe "$build_dir/portico-skin.exe" "Windows CUI"
  bash "$root/scripts/wine-prefix.sh" "$build_dir/wine"
}

main "$@"
