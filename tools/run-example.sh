#!/usr/bin/env bash
# Sets up the machine, builds the engine and runs its main job.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh"
"$top/tools/build.sh" product kwrun
emulator=$(grep -E '^CMAKE_CROSSCOMPILING_EMULATOR:|^KW_EMULATOR:' "$top/build/product/CMakeCache.txt" | head -1 | cut -d= -f2-)
${emulator:+$emulator} "$top/build/product/kwrun" --services
