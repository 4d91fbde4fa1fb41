#!/usr/bin/env bash
# Sets up, builds and runs every test: the unit and GUI tests through ctest, then the
# short fuzzing runs and the screenshots.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
"$root/scripts/build.sh" "$root/build"
cd "$root/build"
ctest --output-on-failure -j2
# The RTF reader and its round trip under libFuzzer with ASan and UBSan (a separate clang
# tree): about 30 seconds per target, seeded from the RTF corpus; a crash fails the run.
"$root/scripts/fuzz.sh" 30 "$root/build-fuzz"
