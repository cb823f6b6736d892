#!/usr/bin/env bash
# Compiles the engine's sources with the MinGW cross compiler against the real Windows
# headers (compile only), and checks every declaration of the platform layer against them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
compiler=i686-w64-mingw32-g++
flags=(-std=c++20 -fsyntax-only -Wall -Wno-attributes -Werror -I.)

engine_folders=(loader core ui controls library graphics files database comm plugins binding media threads system)
sources=(tools/windows_header_check/declarations_match.cpp)
for folder in "${engine_folders[@]}"; do
  [ -d "$folder" ] && while IFS= read -r file; do sources+=("$file"); done < <(find "$folder" -name '*.cpp' | sort)
done
for source in "${sources[@]}"; do
  "$compiler" "${flags[@]}" "$source"
done
echo "windows header check: ${#sources[@]} files compile against the Windows headers"
