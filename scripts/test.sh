#!/usr/bin/env bash
# Sets up, builds and runs every test: the short fuzzing runs, the legacy-file damage tests
# under AddressSanitizer, then the unit, GUI and screenshot tests through ctest, whose
# summary closes the output.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
"$root/scripts/build.sh" "$root/build"
# The RTF reader and its round trip under libFuzzer with ASan and UBSan (a separate clang
# tree): about 30 seconds per target, seeded from the RTF corpus; a crash fails the run.
"$root/scripts/fuzz.sh" 30 "$root/build-fuzz"
# Legacy Jet files: the damaged-file and misbehaving-helper tests once more under
# AddressSanitizer, the reading helper included, in a tree of their own (only that suite
# and what it needs are built).
asan="$root/build-asan"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
if [ ! -f "$asan/CMakeCache.txt" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_ASAN=ON \
    -DTOLVANE_BENCH=OFF "${launcher[@]}" >/dev/null
fi
cmake --build "$asan" --target legacy_damage_tests
QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 LANG=C.UTF-8 TOLVANE_SHARED_DIR="${TOLVANE_SHARED_DIR:-$root/../shared}" \
  TOLVANE_SOURCE_DIR="$root" TOLVANE_APP_DIR="$asan/app" TOLVANE_BIN_DIR="$asan/bin" \
  "$asan/bin/legacy_damage_tests"
# The unit and GUI tests and the screenshots, last, so that ctest's summary closes the run.
cd "$root/build"
ctest --output-on-failure -j2
