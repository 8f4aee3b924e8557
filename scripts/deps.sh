#!/usr/bin/env bash
# Installs the Debian packages the build needs when one is missing (as root).
set -euo pipefail
packages=(cmake g++ gcc make libgtest-dev libbenchmark-dev libeigen3-dev python3 pkg-config binutils
          liblapack-dev libblas-dev libgsl-dev libcminpack-dev libsisl-dev
          assimp-testmodels
          libassimp-dev libcairo2-dev libcli11-dev nlohmann-json3-dev
          pybind11-dev python3-dev python3-pybind11 python3-numpy python3-pytest python3-matplotlib doxygen)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  else
    echo "missing packages (run as root to install): ${missing[*]}" >&2
    exit 1
  fi
fi
