#!/usr/bin/env bash
# Installs every Debian package that building, testing, fuzzing and benchmarking need.
# Fast when everything is there already: apt runs only for missing packages.
set -euo pipefail

packages=(
  build-essential cmake g++-multilib          # the 32-bit product build
  qemu-user-static                            # runs 32-bit programs on 64-bit-only kernels
  g++-mingw-w64-i686                          # the Windows header check and test DLLs
  googletest                                  # GoogleTest sources, built inside the tree
  clang libclang-rt-14-dev                    # sanitizers and fuzzers of the host build
  libbenchmark-dev                            # benchmarks
  libstb-dev                                  # PNG screenshots of the test interface
  python3
  libfreetype-dev libfreetype-dev:i386        # text: FreeType for the host and the 32-bit build
  libbz2-dev:i386                             # FreeType's static 32-bit link needs it
  fonts-wine fonts-liberation2                # the interface faces and Arial/Times/Courier
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  # The :i386 packages need the architecture known to dpkg before the package lists are read.
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
