#!/usr/bin/env bash
# Builds the libraries the Windows cross build needs that Debian ships for Linux only
# (libqrencode, zint, libpng, FreeType) from Debian's own source packages, as static MinGW-w64
# libraries installed in PREFIX, and installs cpp-httplib's header (the whole library, which
# Debian's Linux package splits into a header and a shared library); zlib is Debian's
# libz-mingw-w64-dev. Their licences go to
# PREFIX/licences for the release zip. cmake/WindowsLibraries.cmake runs this at configure time.
#
# Usage: windows-libraries.sh PREFIX WORK_DIR
#   WORK_DIR keeps the downloads, the apt state of our own, the unpacked sources and the logs.
#   A run whose pins, script and toolchain match PREFIX/.stamp does nothing.
#   QRTICKET_LIBRARIES_LAUNCHER: a compiler launcher for the libraries' builds (ccache).
#
# The system's apt configuration is left alone: the archive address, suite and keyring are read
# from /etc/apt/sources.list.d/debian.sources (QRTICKET_DEBIAN_SOURCES names another file), and
# apt runs with a source list, lists and cache of its own under WORK_DIR.
set -euo pipefail

# Debian 12's versions, which the Linux build links. apt serves only a suite's current revision:
# when a point release moves one on, the fetch stops and names the revision now there.
# "upstream": the package's upstream tarball alone, checked against the .dsc, without Debian's
# changes. qrencode 4.1.1-1's changes touch only its build system and the qrencode program,
# which is not built here, so the library is the same; and the archive answers 404 for its
# qrencode_4.1.1-1.debian.tar.xz, so it is not fetched at all.
pins=(
  "qrencode 4.1.1-1 upstream"
  "zint 2.11.1-1"
  "libpng1.6 1.6.39-2+deb12u5"
  "freetype 2.12.1+dfsg-5+deb12u4"
  "cpp-httplib 0.11.4+ds-1+deb12u1"
)

if (($# != 2)); then
  echo "usage: $0 PREFIX WORK_DIR" >&2
  exit 2
fi
mkdir -p "$1" "$2"
prefix=$(cd "$1" && pwd)
work=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
toolchain=$here/../cmake/mingw-w64-x86_64.cmake
mingw_root=/usr/x86_64-w64-mingw32
system_sources=${QRTICKET_DEBIAN_SOURCES:-/etc/apt/sources.list.d/debian.sources}
launcher=${QRTICKET_LIBRARIES_LAUNCHER:-}
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}

say() { echo "-- Windows libraries: $*"; }
fail() {
  echo "Windows libraries: $*" >&2
  exit 1
}

key=$( {
  printf '%s\n' "${pins[@]}"
  sha256sum "$0" "$toolchain" | cut -d' ' -f1
} )
if [ -f "$prefix/.stamp" ] && [ "$(cat "$prefix/.stamp")" = "$key" ]; then
  exit 0
fi

# What the build takes from this machine.
missing=()
for tool in apt-get apt-cache dpkg-source sha256sum cmake tar; do
  command -v "$tool" >/dev/null || missing+=("the program $tool")
done
command -v x86_64-w64-mingw32-gcc-posix >/dev/null || missing+=("x86_64-w64-mingw32-gcc-posix (Debian: g++-mingw-w64-x86-64-posix)")
[ -f $mingw_root/lib/libz.a ] && [ -f $mingw_root/include/zlib.h ] ||
  missing+=("$mingw_root/lib/libz.a (Debian: libz-mingw-w64-dev)")
zlib_copyright=/usr/share/doc/libz-mingw-w64-dev/copyright
[ -f $zlib_copyright ] || missing+=("$zlib_copyright (Debian: libz-mingw-w64-dev)")
dejavu_copyright=/usr/share/doc/fonts-dejavu-core/copyright
[ -f $dejavu_copyright ] || missing+=("$dejavu_copyright (Debian: fonts-dejavu-core)")
if ((${#missing[@]})); then
  printf -v text '%s, ' "${missing[@]}"
  fail "not installed: ${text%, } (bash scripts/deps.sh)"
fi

sources=$work/sources
logs=$work/logs
mkdir -p "$sources" "$logs"

dsc_of() { # NAME VERSION -> the .dsc's file name (the version without its epoch)
  echo "${1}_${2#*:}.dsc"
}
dsc_files() { # DSC -> "SHA256 NAME" of each file it lists
  sed -n '/^Checksums-Sha256:/,/^[^ ]/{/^ /p}' "$1" | awk '{print $1, $3}'
}
is_debian_tarball() {
  case $1 in *.debian.tar.* | *.diff.gz) return 0 ;; esac
  return 1
}

# Problems of one package's files, one line each; nothing when they are complete and intact.
check_package() { # NAME VERSION [upstream]
  local dsc sum file
  dsc=$(dsc_of "$1" "$2")
  if [ ! -f "$sources/$dsc" ]; then
    echo "$1 $2: $dsc is missing"
    return
  fi
  while read -r sum file; do
    if [ "${3:-}" = upstream ] && is_debian_tarball "$file"; then
      continue
    fi
    if [ ! -f "$sources/$file" ]; then
      echo "$1 $2: $file is missing (sha256 $sum in $dsc)"
    elif [ "$(sha256sum "$sources/$file" | cut -d' ' -f1)" != "$sum" ]; then
      echo "$1 $2: $file does not match the sha256 in $dsc; it was removed, fetch again"
      rm -f "$sources/$file"
    fi
  done < <(dsc_files "$sources/$dsc")
}

# One deb-src line from the first stanza of the system's list that names a release suite (not
# -updates, -security or -backports) with the main component.
archive_line() {
  [ -f "$system_sources" ] || fail "$system_sources not found: it names the Debian archive to fetch from"
  awk 'BEGIN { RS = ""; FS = "\n" }
    {
      delete f
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^#/ || !match($i, /^[A-Za-z-]+:/)) continue
        k = tolower(substr($i, 1, RLENGTH - 1)); v = substr($i, RLENGTH + 1)
        gsub(/^[ \t]+|[ \t]+$/, "", v); f[k] = v
      }
      if (tolower(f["enabled"]) == "no" || f["types"] !~ /(^| )deb(-src)?( |$)/) next
      if (f["components"] !~ /(^| )main( |$)/) next
      split(f["uris"], uris, /[ \t]+/); n = split(f["suites"], suites, /[ \t]+/)
      for (s = 1; s <= n; s++) if (suites[s] !~ /-/) {
        opt = (f["signed-by"] != "") ? "[signed-by=" f["signed-by"] "] " : ""
        print "deb-src " opt uris[1] " " suites[s] " main"; exit
      }
    }' "$system_sources"
}

apt_ready=""
apt_options=()
prepare_apt() {
  [ -n "$apt_ready" ] && return
  local line
  line=$(archive_line)
  [ -n "$line" ] || fail "$system_sources names no release suite with the main component"
  [[ $line != *"signed-by=-----"* ]] || fail "$system_sources holds its key inline; a keyring file is needed"
  mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
  echo "$line" >"$work/apt/sources.list"
  apt_options=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o "Dir::Etc::SourceParts=/nonexistent"
               -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache")
  say "reading the archive's source index ($line)"
  apt-get "${apt_options[@]}" update >"$logs/apt-update.log" 2>&1 ||
    fail "apt-get update failed for our source list; see $logs/apt-update.log"
  apt_ready=yes
}

fetch_package() { # NAME VERSION [upstream]
  prepare_apt
  local have
  have=$(apt-cache "${apt_options[@]}" showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -u |
    paste -sd' ')
  if [ -z "$have" ]; then
    fail "$1: the archive's source index does not have this package"
  fi
  if [[ " $have " != *" $2 "* ]]; then
    fail "$1 $2 is no longer in the archive, which has $have; update its pin in scripts/windows-libraries.sh"
  fi
  say "fetching $1 $2"
  # A file that does not come is named by check_package below. apt fetches every file of the
  # package, the Debian tarball of an "upstream" pin too; that one is not needed.
  (cd "$sources" && apt-get "${apt_options[@]}" source --download-only "$1=$2") \
    >"$logs/fetch-$1.log" 2>&1 || true
}

problems=()
for pin in "${pins[@]}"; do
  read -r name version how <<<"$pin"
  if [ -n "$(check_package "$name" "$version" "$how")" ]; then
    fetch_package "$name" "$version"
  fi
  found=""
  while IFS= read -r line; do
    [ -n "$line" ] && problems+=("$line") && found=yes
  done < <(check_package "$name" "$version" "$how")
  if [ -n "$found" ] && [ -f "$logs/fetch-$name.log" ]; then
    while IFS= read -r line; do
      problems+=("  apt: $line")
    done < <(grep -E '^E: Failed to fetch [a-z]+:' "$logs/fetch-$name.log" || true)
  fi
done
if ((${#problems[@]})); then
  {
    echo "Windows libraries: the source packages are incomplete, nothing was built:"
    printf '  %s\n' "${problems[@]}"
    echo "  A file put by hand into $sources is used once it matches its .dsc."
  } >&2
  exit 1
fi

# From here on everything is built afresh; a failure leaves no prefix behind. PREFIX is emptied
# only when it is ours (its marker) or empty.
marker=$prefix/.windows-libraries
if [ ! -f "$marker" ] && [ -n "$(ls -A "$prefix")" ]; then
  fail "$prefix holds files that are not ours; give an empty or new folder"
fi
rm -rf "$prefix" "$work/src" "$work/build"
mkdir -p "$prefix" "$work/src" "$work/build"
touch "$marker"
trap '[ -f "$prefix/.stamp" ] || rm -rf "$prefix"' EXIT

unpack() { # NAME VERSION [upstream] -> sets src
  local dsc file
  dsc=$(dsc_of "$1" "$2")
  src=$work/src/$1
  if [ "${3:-}" = upstream ]; then
    mkdir -p "$src"
    file=$(dsc_files "$sources/$dsc" | awk '{print $2}' | grep -E '\.orig\.tar\.[a-z0-9]+$')
    tar -xf "$sources/$file" -C "$src" --strip-components=1
  else
    # The files were checked against the .dsc above; the .dsc itself came through apt's
    # signed index.
    dpkg-source --no-check -x "$sources/$dsc" "$src" >"$logs/unpack-$1.log" 2>&1 ||
      fail "dpkg-source could not unpack $dsc; see $logs/unpack-$1.log"
  fi
}

run_logged() { # LOG COMMAND...
  local log=$1
  shift
  if ! "$@" >>"$log" 2>&1; then
    tail -n 25 "$log" >&2
    echo "Windows libraries: failed: $*; the whole log is $log" >&2
    return 1
  fi
}

cmake_build() { # NAME SRC TARGET CMAKE_ARGS... (TARGET "install": build all and install)
  local name=$1 src=$2 target=$3
  shift 3
  local build=$work/build/$name log=$logs/build-$name.log
  : >"$log"
  run_logged "$log" cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    ${launcher:+-DCMAKE_C_COMPILER_LAUNCHER="$launcher"} "$@"
  if [ "$target" = install ]; then
    run_logged "$log" cmake --build "$build" -j "$jobs"
    run_logged "$log" cmake --install "$build"
  else
    run_logged "$log" cmake --build "$build" -j "$jobs" --target "$target"
  fi
}

zlib_args=("-DZLIB_INCLUDE_DIR=$mingw_root/include" "-DZLIB_LIBRARY=$mingw_root/lib/libz.a")
licences=$prefix/licences
mkdir -p "$licences"

for pin in "${pins[@]}"; do
  read -r name version how <<<"$pin"
  unpack "$name" "$version" "$how"
  say "building $name $version${how:+ ($how tarball)}"
  case $name in
    qrencode)
      cmake_build "$name" "$src" install -DWITH_TOOLS=NO -DBUILD_SHARED_LIBS=OFF
      cp "$src/COPYING" "$licences/libqrencode.txt"
      ;;
    zint)
      # zint 2.11 always adds its DLL and the command line program: only the static library is
      # built, and installed as libzint.a, the name a static MinGW library is found by.
      cmake_build "$name" "$src" zint-static -DZINT_STATIC=ON -DZINT_USE_PNG=OFF -DZINT_USE_QT=OFF
      mkdir -p "$prefix/lib" "$prefix/include"
      cp "$work/build/$name/backend/libzint-static.a" "$prefix/lib/libzint.a"
      cp "$src/backend/zint.h" "$prefix/include/"
      cp "$src/LICENSE" "$licences/zint.txt"
      ;;
    libpng1.6)
      cmake_build "$name" "$src" install -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF \
        -DPNG_TESTS=OFF "${zlib_args[@]}"
      cp "$src/LICENSE" "$licences/libpng.txt"
      ;;
    freetype)
      cmake_build "$name" "$src" install -DBUILD_SHARED_LIBS=OFF -DFT_REQUIRE_ZLIB=ON \
        -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
        "${zlib_args[@]}"
      cp "$src/LICENSE.TXT" "$licences/freetype.txt"
      cp "$src/docs/FTL.TXT" "$licences/freetype-FTL.txt"
      ;;
    cpp-httplib)
      # Header-only: nothing to build. Debian's patches (dpkg-source applied them) are in it.
      mkdir -p "$prefix/include"
      cp "$src/httplib.h" "$prefix/include/"
      cp "$src/LICENSE" "$licences/cpp-httplib.txt"
      ;;
  esac
done
cp $zlib_copyright "$licences/zlib.txt"
cp $dejavu_copyright "$licences/dejavu-fonts.txt"

# Static only: a DLL or import library here would make the programs need a DLL beside them.
leftovers=$(find "$prefix" \( -name '*.dll' -o -name '*.dll.a' \) -print)
[ -z "$leftovers" ] || fail "shared libraries were installed: $leftovers"

echo "$key" >"$prefix/.stamp"
say "installed in $prefix"
