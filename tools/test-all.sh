#!/usr/bin/env bash
# Sets up the machine, builds both configurations and runs every test.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh"
"$top/tools/check-windows-headers.sh"
for configuration in product host; do
  "$top/tools/build.sh" "$configuration"
  echo "== tests: $configuration build"
  (cd "$top/build/$configuration" && ctest --output-on-failure -j 2)
done
