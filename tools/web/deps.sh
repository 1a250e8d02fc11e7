#!/usr/bin/env bash
# Installs the web build's tools when missing and builds SDL2, zlib, libpng and
# FreeType for WebAssembly as static libraries into one prefix, cached outside
# the repository and keyed by the source versions, so later runs reuse it.
# Emscripten's own ports cannot be used: they download sources at build time.
# Prints the prefix on its last line.
#   tools/web/deps.sh            tools and libraries
#   tools/web/deps.sh --tools    tools only
set -euo pipefail

# Source versions of Debian's packages. Pinned: the key below depends on them
# alone, and some versions are missing a source file in one of the pools.
sources=(libsdl2=2.26.5+dfsg-1 zlib=1:1.2.13.dfsg-1 libpng1.6=1.6.39-2+deb12u5
         freetype=2.12.1+dfsg-5+deb12u4)
tools=(emscripten chromium cmake make python3 dpkg-dev xz-utils ca-certificates python3-websocket python3-pil)

log() { echo "web deps: $*" >&2; }
. "$(dirname "$0")/../deps-common.sh"
deps_install_missing "${tools[@]}"
# The packaged node does not look in Debian's module folder on its own.
export NODE_PATH=/usr/share/nodejs
[ "${1:-}" = --tools ] && exit 0

emver=$(dpkg-query -W -f='${Version}' emscripten)
key=$(printf '%s\n' "${sources[@]}" "emscripten=$emver" "recipe=1" | sha256sum | cut -c1-16)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/puffwick-web
prefix=$cache/$key
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

deps_add_deb_src puffwick-web-src.sources

work=$cache/build-$key
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
cd "$work"
deps_fetch_sources "${sources[@]}"
srcdir() { deps_srcdir "$work" "$1"; }

jobs=$(nproc)
common=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_INSTALL_PREFIX=$prefix" "-DCMAKE_PREFIX_PATH=$prefix"
        -DCMAKE_FIND_ROOT_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF)
build() {  # [-j1] name source-dir cmake-args...
  local jobs=$jobs
  if [ "$1" = -j1 ]; then jobs=1; shift; fi
  local name=$1 src=$2
  shift 2
  log "building $name"
  nice -n 19 emcmake cmake -S "$src" -B "$work/b-$name" "${common[@]}" "$@" >"$work/$name.log" 2>&1 ||
    { tail -n 30 "$work/$name.log" >&2; return 1; }
  nice -n 19 cmake --build "$work/b-$name" -j"$jobs" >>"$work/$name.log" 2>&1 &&
    nice -n 19 cmake --install "$work/b-$name" >>"$work/$name.log" 2>&1 ||
    { tail -n 30 "$work/$name.log" >&2; return 1; }
}

zsrc=$(srcdir zlib)
# Missing from the source tarball; the CMake file names it for Windows only but checks it exists.
mkdir -p "$zsrc/win32" && touch "$zsrc/win32/zlib1.rc"
# The shared and static targets both write libz.a here: Ninja refuses the two rules,
# and Makefiles run in parallel race on the file. Makefiles, one job at a time.
build -j1 zlib "$zsrc" -G "Unix Makefiles"
# Only the static library is wanted; the shared build is a static one in disguise here.
rm -f "$prefix"/lib/libz.so*

build libpng "$(srcdir libpng1.6)" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
  -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DZLIB_ROOT="$prefix" -DZLIB_INCLUDE_DIR="$prefix/include" \
  -DZLIB_LIBRARY="$prefix/lib/libz.a"

# With its own zlib FreeType links a second inflate beside libpng's.
build freetype "$(srcdir freetype)" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON -DZLIB_INCLUDE_DIR="$prefix/include" \
  -DZLIB_LIBRARY="$prefix/lib/libz.a"

# SDL's configure step is slow (a few hundred checks); threads are off in a page without workers.
build sdl2 "$(srcdir libsdl2)" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_THREADS=OFF

printf '%s\n' "${sources[@]}" "emscripten=$emver" >"$prefix/.complete"
rm -rf "$work"
log "libraries ready in $prefix"
echo "$prefix"
