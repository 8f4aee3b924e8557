#!/usr/bin/env bash
# Installs the build into a staging prefix, as a packager or a new user would
# (cmake --install BUILD --prefix DIR), and checks that the installed package
# works from there without LD_LIBRARY_PATH: pkg-config names the staged
# folders, a program linked against the staged libquorm starts (libquorm finds
# libcorvex beside itself), the installed tool starts, and the same holds
# after the whole prefix has been moved.
#
# usage: staged_install.sh BUILD_DIR SOURCE_DIR WORK_DIR [extra C flags...]
set -euo pipefail
build=$1 source=$2 work=$3
shift 3
extra_flags=("$@")
unset LD_LIBRARY_PATH
rm -rf "$work"
mkdir -p "$work"
stage=$work/stage
cmake --install "$build" --prefix "$stage" >/dev/null

pcdir=$(dirname "$(find "$stage" -name quorm.pc | head -n 1)")
check_prefix() {
  local prefix=$1 cflags libs
  cflags=$(PKG_CONFIG_PATH=$pcdir pkg-config --cflags quorm)
  libs=$(PKG_CONFIG_PATH=$pcdir pkg-config --libs quorm)
  local inc=${cflags#-I}
  inc=${inc%% *}
  if [ ! -f "$inc/quorm/quorm.h" ] || [ "$(cd "$inc" && pwd -P)" != "$(cd "$prefix/include" && pwd -P)" ]; then
    echo "pkg-config --cflags points at '$inc', not at $prefix/include" >&2
    exit 1
  fi
  local libdir=${libs#-L}
  libdir=${libdir%% *}
  if [ "$(cd "$libdir" && pwd -P)" != "$(cd "$(dirname "$(find "$prefix" -name 'libquorm.so' | head -n 1)")" && pwd -P)" ]; then
    echo "pkg-config --libs points at '$libdir', not at the staged libraries" >&2
    exit 1
  fi
  gcc -std=c99 "${extra_flags[@]}" "$source/examples/frames.c" $cflags $libs -Wl,-rpath,"$libdir" -lm \
      -o "$work/frames_pc"
  "$work/frames_pc" >/dev/null
  if [ -x "$prefix/bin/quorm" ]; then
    "$prefix/bin/quorm" --version >/dev/null
  fi
}

check_prefix "$stage"
# A moved prefix still works: nothing in it records where it was installed.
mv "$stage" "$work/moved"
stage=$work/moved
pcdir=${pcdir/$work\/stage/$work/moved}
check_prefix "$stage"
echo "staged install works from $stage"
