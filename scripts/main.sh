#!/usr/bin/env bash
# Main job: builds and installs libquorm, the quorm tool and the Python
# module, runs `quorm demo` and a fit from Python against the installed
# package, then builds the example programs against the installed package
# (CMake find_package and pkg-config) and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)
prefix=$PWD/build/install

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DQUORM_BUILD_TESTS=OFF -DQUORM_BUILD_BENCH=OFF \
      -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build build/release -j"$jobs" >/dev/null
cmake --install build/release >/dev/null

# The tool's showcase, run from the installed prefix (found through its
# install RPATH, without LD_LIBRARY_PATH).
if [ ! -x "$prefix/bin/quorm" ]; then
  echo "the quorm tool was not built (it needs libassimp-dev, libcairo2-dev, libcli11-dev and nlohmann-json3-dev)" >&2
  exit 1
fi
"$prefix/bin/quorm" demo -o build/quorm-demo

# The Python module from the installed prefix, under the interpreter it was
# built for (when the build had pybind11 and NumPy).
py_dir=$(sed -n 's/^QUORM_PYTHON_INSTALL_DIR:[A-Z]*=//p' build/release/CMakeCache.txt)
py_exe=$(sed -n 's/^Python_EXECUTABLE:[A-Z]*=//p' build/release/CMakeCache.txt)
if [ -n "$py_dir" ] && [ -n "$py_exe" ]; then
  (cd / && PYTHONPATH="$prefix/$py_dir" "$py_exe" -c 'import quorm; print(quorm.fit_circle([[1,0],[0,1],[-1,0]]))')
fi

# Through the CMake package.
cmake -S examples -B build/examples -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build build/examples -j"$jobs" >/dev/null
export LD_LIBRARY_PATH="$prefix/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
build/examples/frames_c
build/examples/frames_cpp

# Through pkg-config.
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
gcc -std=c99 -Wall -Werror examples/frames.c $(pkg-config --cflags --libs quorm) -lm -o build/examples/frames_pc
build/examples/frames_pc >/dev/null
echo "main job passed"
