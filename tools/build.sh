#!/usr/bin/env bash
# Configures and builds one configuration: "product" (32-bit, build/product) or "host"
# (64-bit with sanitizers, build/host) or "bench" (64-bit, optimised, build/bench).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
configuration=${1:?usage: tools/build.sh product|host|bench [targets...]}
shift
jobs=${KW_JOBS:-2}

case "$configuration" in
  product)
    directory="$top/build/product"
    options=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/i386-linux.cmake")
    # A host that runs 32-bit programs natively needs no emulator.
    probe=$(mktemp -d)
    printf 'int main(){return 0;}\n' > "$probe/probe.c"
    if gcc -m32 -static "$probe/probe.c" -o "$probe/probe" 2>/dev/null && "$probe/probe" 2>/dev/null; then
      options+=(-DKW_EMULATOR=)
    fi
    rm -rf "$probe"
    ;;
  host)
    directory="$top/build/host"
    options=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
    ;;
  bench)
    directory="$top/build/bench"
    options=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKW_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release)
    ;;
  *)
    echo "unknown configuration: $configuration" >&2
    exit 2
    ;;
esac

# A compiler cache, when the machine has one, shares objects between work trees of one checkout.
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=1
  options+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$top" -B "$directory" "${options[@]}" >/dev/null
if (($#)); then
  cmake --build "$directory" -j "$jobs" --target "$@"
else
  cmake --build "$directory" -j "$jobs"
fi
