#!/usr/bin/env bash
# Sets up the machine, builds the engine with the example application "hello" appended to it,
# runs it, and shows the trace log it wrote.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh"
"$top/tools/build.sh" product kwrun hello
emulator=$(sed -n 's/^KW_EMULATOR:[A-Z]*=//p' "$top/build/product/CMakeCache.txt")
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
echo "== running examples/hello (the engine with the application appended)"
status=0
(cd "$run" && ${emulator:+"$emulator"} "$top/build/product/examples/images/hello") || status=$?
echo "== exit code $status (1 is a normal end)"
echo "== trace.log:"
tr '\r' '\n' < "$run/trace.log"
echo "== the engine's services: $(${emulator:+"$emulator"} "$top/build/product/kwrun" --services | tail -n 1)"
