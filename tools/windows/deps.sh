#!/usr/bin/env bash
# Installs the Windows cross-build's tools when missing and builds zlib, libpng,
# FreeType and SDL2 (static), OpenAL Soft (a DLL: it is LGPL, shipped replaceable
# as OpenAL32.dll) and GoogleTest for 64-bit Windows with MinGW-w64, into one
# prefix cached outside the repository and keyed by the source versions and this
# recipe, so later runs reuse it. Prints the prefix on its last line.
#   tools/windows/deps.sh            tools and libraries
#   tools/windows/deps.sh --tools    tools only
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# Source versions of Debian's packages, pinned: the key depends on them alone.
sources=(libsdl2=2.26.5+dfsg-1 zlib=1:1.2.13.dfsg-1 libpng1.6=1.6.39-2+deb12u5
         freetype=2.12.1+dfsg-5+deb12u4)
# Bookworm's OpenAL Soft source is gone from the pool; the next release's
# tarball is taken by its hash from that release's source index (its .dsc is
# missing too, so apt cannot check it for us).
openal=openal-soft_1.24.2.orig.tar.gz
openal_sha256=7efd383d70508587fbc146e4c508771a2235a5fc8ae05bf6fe721c20a348bd7c
tools=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 nsis
       googletest cmake make pkg-config dpkg-dev ca-certificates zip unzip xvfb x11-apps xdotool python3)
recipe=2

log() { echo "windows deps: $*" >&2; }
. "$here/../deps-common.sh"
deps_install_missing "${tools[@]}"
[ "${1:-}" = --tools ] && exit 0

versions=("${sources[@]}" "openal=$openal_sha256"
          "mingw=$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)"
          "googletest=$(dpkg-query -W -f='${Version}' googletest)" "recipe=$recipe")
key=$(printf '%s\n' "${versions[@]}" | cat - "$here/toolchain.cmake" | sha256sum | cut -c1-16)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/puffwick-win64
prefix=$cache/$key
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# apt-get source needs deb-src entries: bookworm's, and the next release's for OpenAL Soft.
deps_add_deb_src puffwick-src.sources
if ! apt-cache showsrc openal-soft 2>/dev/null | grep -q "$openal_sha256"; then
  log "adding the next release's source index for OpenAL Soft"
  printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" "Suites: trixie" "Components: main" \
    "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
    $sudo tee /etc/apt/sources.list.d/puffwick-win64-src.sources >/dev/null
  $sudo apt-get update -qq
fi

work=$cache/build-$key
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
cd "$work"
deps_fetch_sources "${sources[@]}"
log "fetching $openal"
apt-get source -qq --download-only "openal-soft=1:1.24.2-1" >/dev/null 2>&1 || true
echo "$openal_sha256  $openal" | sha256sum -c --quiet - ||
  { log "$openal is missing or its hash is wrong"; exit 1; }
tar xzf "$openal"
srcdir() { deps_srcdir "$work" "$1"; }

jobs=$(nproc)
common=(-DCMAKE_TOOLCHAIN_FILE="$here/toolchain.cmake" -DPUFFWICK_WIN64_PREFIX="$prefix"
        -DCMAKE_BUILD_TYPE=Release "-DCMAKE_INSTALL_PREFIX=$prefix" "-DCMAKE_PREFIX_PATH=$prefix"
        -DBUILD_SHARED_LIBS=OFF)
build() {  # name source-dir [--target t] -- cmake-args...
  local name=$1 src=$2
  shift 2
  log "building $name"
  nice -n 19 cmake -S "$src" -B "$work/b-$name" "${common[@]}" "$@" >"$work/$name.log" 2>&1 ||
    { tail -n 30 "$work/$name.log" >&2; return 1; }
  nice -n 19 cmake --build "$work/b-$name" -j"$jobs" ${target:+--target "$target"} >>"$work/$name.log" 2>&1 ||
    { tail -n 30 "$work/$name.log" >&2; return 1; }
  [ -n "${target:-}" ] && return 0
  nice -n 19 cmake --install "$work/b-$name" >>"$work/$name.log" 2>&1 ||
    { tail -n 30 "$work/$name.log" >&2; return 1; }
}

# zlib: the static library alone. Its full MinGW build runs windres on a
# win32/zlib1.rc the Debian tarball lacks, so it is installed by hand.
zsrc=$(srcdir zlib)
target=zlibstatic build zlib "$zsrc"
mkdir -p "$prefix/include" "$prefix/lib/pkgconfig"
cp "$zsrc/zlib.h" "$work/b-zlib/zconf.h" "$prefix/include/"
cp "$work/b-zlib/libzlibstatic.a" "$prefix/lib/libz.a"
zver=$(sed -n 's/^#define ZLIB_VERSION "\(.*\)"/\1/p' "$zsrc/zlib.h")
printf '%s\n' "prefix=$prefix" 'libdir=${prefix}/lib' 'includedir=${prefix}/include' "" "Name: zlib" \
  "Description: zlib compression library" "Version: $zver" "Libs: -L\${libdir} -lz" "Cflags: -I\${includedir}" \
  >"$prefix/lib/pkgconfig/zlib.pc"
zlib=(-DZLIB_ROOT="$prefix" -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a")

build libpng "$(srcdir libpng1.6)" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
  -DPNG_HARDWARE_OPTIMIZATIONS=OFF "${zlib[@]}"

build freetype "$(srcdir freetype)" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON "${zlib[@]}"

build openal "$work/openal-soft-1.24.2" -DLIBTYPE=SHARED -DALSOFT_EXAMPLES=OFF -DALSOFT_UTILS=OFF \
  -DALSOFT_TESTS=OFF -DALSOFT_NO_CONFIG_UTIL=ON -DALSOFT_STATIC_LIBGCC=ON -DALSOFT_STATIC_STDCXX=ON \
  -DALSOFT_STATIC_WINPTHREAD=ON -DALSOFT_INSTALL_EXAMPLES=OFF -DALSOFT_INSTALL_UTILS=OFF

build googletest /usr/src/googletest -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF

# SDL's configure step is slow (a few hundred checks), its build the longest here.
build sdl2 "$(srcdir libsdl2)" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF

# The licences of what the games link in, shipped beside them.
lic=$prefix/share/licences
mkdir -p "$lic"/{zlib,libpng,freetype,sdl2,openal-soft}
sed -n '/Copyright (C)/,/madler@alumni/p' "$zsrc/zlib.h" >"$lic/zlib/LICENSE.txt"
cp "$(srcdir libpng1.6)/LICENSE" "$lic/libpng/LICENSE.txt"
cp "$(srcdir freetype)/LICENSE.TXT" "$lic/freetype/LICENSE.txt"
[ -f "$(srcdir freetype)/docs/FTL.TXT" ] && cp "$(srcdir freetype)/docs/FTL.TXT" "$lic/freetype/FTL.txt"
cp "$(srcdir libsdl2)/LICENSE.txt" "$lic/sdl2/LICENSE.txt"
cp "$work/openal-soft-1.24.2/COPYING" "$lic/openal-soft/COPYING.txt"

printf '%s\n' "${versions[@]}" >"$prefix/.complete"
rm -rf "$work"
log "libraries ready in $prefix"
echo "$prefix"
