#!/usr/bin/env bash
# Sets up, builds and starts Tolvane on the bundled sample dictionaries. Only what it starts
# is built: the program, its helper, the import tool and the sample dictionaries (the test
# command builds the tests and benchmarks).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
BUILD_TARGETS="tolvane tolvane-jetread tolvane-import tolvane_sample_dictionaries" \
  "$root/scripts/build.sh" "$root/build"
exec "$root/build/app/tolvane" "$@"
