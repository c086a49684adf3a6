#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian bookworm machine, and
# cross-builds libjpeg-turbo for i686- and x86_64-w64-mingw32 into deps/ (cached).
#
# The shipped program is 32-bit (i686). Where the kernel runs 32-bit x86 Linux programs, which
# 32-bit Wine needs, wine32:i386 is installed too and the tests run the shipped build in a
# 32-bit prefix; elsewhere they run a 64-bit build of the same sources under 64-bit Wine
# (scripts/wine-env.sh decides).
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps="$top/deps"
stamp="$deps/.apt-ok-v4"

pkgs=(
  cmake make g++ clang libclang-rt-14-dev pkg-config dpkg-dev
  g++-mingw-w64-i686-win32 mingw-w64-i686-dev g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  libz-mingw-w64-dev wine wine64 xvfb xdotool x11-utils imagemagick fonts-wqy-microhei fonts-wine locales
  googletest libgtest-dev libtomlplusplus-dev zlib1g-dev nasm nsis
)

need_apt=0
if [ ! -f "$stamp" ]; then need_apt=1; fi
if [ $need_apt = 0 ]; then
  for p in i686-w64-mingw32-g++-win32 x86_64-w64-mingw32-g++-posix wine Xvfb xdotool convert clang cmake makensis; do
    command -v "$p" >/dev/null 2>&1 || need_apt=1
  done
fi

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

if [ $need_apt = 1 ]; then
  echo "bootstrap: installing packages"
  export DEBIAN_FRONTEND=noninteractive
  # Source entries for the configured mirror, so libjpeg-turbo can be built from Debian's sources.
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    uris=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
    [ -n "$uris" ] || uris=http://deb.debian.org/debian
    as_root tee /etc/apt/sources.list.d/zz-deb-src.sources >/dev/null <<SRC
Types: deb-src
URIs: $uris
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  fi
  # An index that fails to download (a mirror caught mid-sync, often for a foreign
  # architecture only) leaves apt the ones it has; the install below says what is missing.
  as_root apt-get update -qq || echo "bootstrap: apt-get update failed in part; going on with the indexes apt has" >&2
  as_root apt-get install -y -qq --no-install-recommends "${pkgs[@]}" >/dev/null
  mkdir -p "$deps"
  touch "$stamp"
fi

# 32-bit Wine: only where the kernel runs 32-bit x86 programs (some kernels are built without
# IA-32 emulation, and then wine32's loader cannot start). A static program that only makes
# the exit system call needs no 32-bit C library, so the check works before any i386 package
# is there. A kernel that cannot is remembered (by its release), and so is an installation the
# archive could not satisfy (for the day), so that later runs only ask dpkg.
wine32_stamp="$deps/.wine32-v1"
runs_i386() {
  local dir rc=1
  dir=$(mktemp -d)
  printf '.globl _start\n_start:\n\tmovl $1, %%eax\n\tmovl $42, %%ebx\n\tint $0x80\n' > "$dir/exit42.S"
  if gcc -m32 -static -nostdlib -o "$dir/exit42" "$dir/exit42.S" 2>/dev/null; then
    local status=0
    "$dir/exit42" 2>/dev/null || status=$?
    [ $status = 42 ] && rc=0
  fi
  rm -rf "$dir"
  return $rc
}
wine32_installed() { [ "$(dpkg-query -W -f='${db:Status-Status}' wine32:i386 2>/dev/null)" = installed ]; }
wine32_tried=$(cat "$wine32_stamp" 2>/dev/null || true)
if ! wine32_installed && [ "$wine32_tried" != "no i386 $(uname -r)" ] && [ "$wine32_tried" != "failed $(date +%F)" ]; then
  if runs_i386; then
    echo "bootstrap: this kernel runs 32-bit x86 programs: installing 32-bit Wine"
    export DEBIAN_FRONTEND=noninteractive
    dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
    # A mirror that fails one of the new i386 indexes (caught mid-sync) still leaves apt the
    # others: try with what it has, and let the installation say whether that was enough.
    as_root apt-get update -qq || echo "bootstrap: apt-get update failed in part; trying with the indexes it has"
    # wine64 comes along when the archive has a newer Wine: both halves must be one version.
    if ! as_root apt-get install -y -qq --no-install-recommends wine32:i386 wine64 >/dev/null; then
      echo "bootstrap: could not install wine32:i386: the tests run the 64-bit build" >&2
      # No foreign architecture without a package of it: every later apt-get update would
      # fetch its indexes (dpkg refuses while an i386 package is there).
      as_root dpkg --remove-architecture i386 2>/dev/null || true
      echo "failed $(date +%F)" > "$wine32_stamp"
    fi
  else
    echo "bootstrap: this kernel does not run 32-bit x86 programs: no 32-bit Wine, the tests run the 64-bit build"
    echo "no i386 $(uname -r)" > "$wine32_stamp"
  fi
fi

# libjpeg-turbo, cross-built static for the Windows programs. The programs only decode, so the
# library is built small: no arithmetic coding, 8-bit samples only, no SIMD, no JPEGMEM
# variable (its sscanf would pull MinGW's whole scanf into the setup program), no forced
# inlining, each function in its own section so the linker drops what is not called.
# Decoder options the programs never ask for are left out through libjpeg's own capability
# switches in jmorecfg.h (jpeg_options_off): the fast and floating-point IDCTs (the default is
# the accurate integer one), scaled output, merged "sloppy" upsampling, colour quantisation,
# block smoothing (it only refines progressive pictures shown before all their scans are in)
# and saving markers (jpeg_save_markers). Default decoding of whole pictures, the only kind
# used, gives the same pixels without them. The
# 32-bit build (the shipped one) also leaves out the DWARF unwind tables: the i686 linker keeps
# every function an .eh_frame entry points at, so C code with tables defeats --gc-sections.
# (64-bit Windows unwinds through SEH tables, which longjmp needs there; they stay.)
# The recipe is written beside the library; a cache built by another recipe is built again.
jpeg_options=(-DCMAKE_BUILD_TYPE=MinSizeRel -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF
  -DWITH_JAVA=OFF -DWITH_SIMD=OFF -DWITH_ARITH_DEC=OFF -DWITH_ARITH_ENC=OFF -DWITH_12BIT=OFF -DFORCE_INLINE=OFF)
jpeg_options_off="DCT_IFAST_SUPPORTED DCT_FLOAT_SUPPORTED IDCT_SCALING_SUPPORTED UPSAMPLE_MERGING_SUPPORTED QUANT_1PASS_SUPPORTED QUANT_2PASS_SUPPORTED BLOCK_SMOOTHING_SUPPORTED SAVE_MARKERS_SUPPORTED"
jpeg_flags() {  # triple
  local flags="-ffunction-sections -fdata-sections -DNO_GETENV"
  [ "$1" = i686-w64-mingw32 ] && flags="$flags -fno-asynchronous-unwind-tables"
  echo "$flags"
}
build_jpeg() {  # triple prefix-dir toolchain-file
  local triple=$1 prefix=$2 toolchain=$3
  local flags recipe
  flags=$(jpeg_flags "$triple")
  recipe="${jpeg_options[*]} -DCMAKE_C_FLAGS=$flags off:$jpeg_options_off toolchain:$(sha1sum < "$toolchain" | cut -c1-12)"
  [ -f "$prefix/lib/libjpeg.a" ] && [ "$(cat "$prefix/recipe" 2>/dev/null)" = "$recipe" ] && return 0
  echo "bootstrap: cross-building libjpeg-turbo for $triple"
  mkdir -p "$deps/src"
  ( cd "$deps/src"
    [ -d libjpeg-turbo-src ] || {
      rm -rf lj && mkdir lj && cd lj
      apt-get source --download-only libjpeg-turbo >/dev/null 2>&1 || apt-get source --download-only libjpeg-turbo
      dpkg-source -x --skip-patches ./libjpeg-turbo_*.dsc ../libjpeg-turbo-src >/dev/null 2>&1
      cd .. && rm -rf lj
    }
  )
  local build="$deps/build-jpeg-$triple"
  rm -rf "$build" "$prefix"
  mkdir -p "$build"
  cp -r "$deps/src/libjpeg-turbo-src" "$build/src"
  local opt
  for opt in $jpeg_options_off; do
    grep -q "^#define $opt\b" "$build/src/jmorecfg.h" || { echo "bootstrap: jmorecfg.h has no $opt" >&2; exit 1; }
    sed -i "s/^#define $opt\b/#undef  $opt/" "$build/src/jmorecfg.h"
  done
  cmake -S "$build/src" -B "$build/out" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" "${jpeg_options[@]}" -DCMAKE_C_FLAGS="$flags" -Wno-dev >/dev/null
  # Only the library: the command-line tools are not needed.
  cmake --build "$build/out" --target jpeg-static -j"$(nproc)" >/dev/null
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$build/out/libjpeg.a" "$prefix/lib/"
  cp "$build/out/jconfig.h" "$build/src/jpeglib.h" "$build/src/jmorecfg.h" "$build/src/jerror.h" "$prefix/include/"
  echo "$recipe" > "$prefix/recipe"
  rm -rf "$build"
}
build_jpeg i686-w64-mingw32 "$deps/mingw32" "$top/cmake/mingw32.cmake"
build_jpeg x86_64-w64-mingw32 "$deps/mingw64" "$top/cmake/mingw64.cmake"

# zlib for the shipped 32-bit program, from Debian's zlib sources (the version of Debian's
# libz.a): built without DWARF unwind tables and with a section per function, so the linker
# keeps only what the program calls (the inflater; Debian's library brings the whole deflater
# along). -O2 as Debian's: unpacking speed matters. The 64-bit test build uses Debian's libz.a.
# cmake/mingw32.cmake points the build at deps/zlib-mingw32.
zlib_sources="adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees uncompr zutil"
build_zlib() {  # prefix-dir toolchain-file
  local prefix=$1 toolchain=$2
  local cc flags="-O2 -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables" recipe
  cc=$(sed -n 's/^set(CMAKE_C_COMPILER \([^ )]*\))$/\1/p' "$toolchain")
  recipe="$cc $flags $zlib_sources"
  [ -f "$prefix/lib/libz.a" ] && [ "$(cat "$prefix/recipe" 2>/dev/null)" = "$recipe" ] && return 0
  echo "bootstrap: cross-building zlib with $cc"
  mkdir -p "$deps/src"
  ( cd "$deps/src"
    [ -d zlib-src ] || {
      rm -rf zl && mkdir zl && cd zl
      apt-get source --download-only zlib >/dev/null 2>&1 || apt-get source --download-only zlib
      dpkg-source -x --skip-patches ./zlib_*.dsc ../zlib-src >/dev/null 2>&1
      cd .. && rm -rf zl
    }
  )
  local build="$deps/build-zlib" f
  rm -rf "$build" "$prefix"
  mkdir -p "$build" "$prefix/lib" "$prefix/include"
  for f in $zlib_sources; do
    "$cc" $flags -c "$deps/src/zlib-src/$f.c" -o "$build/$f.o"
  done
  "${cc%-gcc-*}-ar" rcs "$prefix/lib/libz.a" "$build"/*.o
  cp "$deps/src/zlib-src/zlib.h" "$deps/src/zlib-src/zconf.h" "$prefix/include/"
  echo "$recipe" > "$prefix/recipe"
  rm -rf "$build"
}
build_zlib "$deps/zlib-mingw32" "$top/cmake/mingw32.cmake"
# The build's targets run this script again only when this stamp is missing or older than the
# script and the toolchain files (Makefile).
touch "$deps/.bootstrap-ok"
echo "bootstrap: ok"
