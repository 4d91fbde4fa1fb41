#!/usr/bin/env bash
# Sets up, builds and runs every test: the short fuzzing runs, the engine, data, import and
# legacy-file damage tests under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# unit, GUI, crash and screenshot tests through ctest, whose summary closes the output.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
"$root/scripts/build.sh" "$root/build"
# Every fuzz target under libFuzzer with ASan and UBSan (a separate clang tree): 20 seconds
# each (scripts/fuzz.sh lists them); a crash fails the run.
"$root/scripts/fuzz.sh" 20 "$root/build-fuzz"
# The engine, data and import tests and the legacy-file damage tests once more under
# AddressSanitizer and UndefinedBehaviorSanitizer, the reading helper and the import tool
# included, in a tree of their own (only those suites and what they need are built): the
# whole suite under them would not keep the test command under 20 minutes on two cores.
asan="$root/build-asan"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
if [ ! -f "$asan/CMakeCache.txt" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_ASAN=ON \
    -DTOLVANE_BENCH=OFF "${launcher[@]}" >/dev/null
fi
asan_suites=(legacy_damage_tests tolvane_engine_tests tolvane_data_tests tolvane_import_tests)
cmake --build "$asan" --target "${asan_suites[@]}"
for suite in "${asan_suites[@]}"; do
  echo "ASan+UBSan: $suite"
  QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 LANG=C.UTF-8 \
    TOLVANE_SHARED_DIR="${TOLVANE_SHARED_DIR:-$root/../shared}" \
    TOLVANE_SOURCE_DIR="$root" TOLVANE_APP_DIR="$asan/app" TOLVANE_BIN_DIR="$asan/bin" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    "$asan/bin/$suite" --gtest_brief=1
done
# The unit and GUI tests and the screenshots, last, so that ctest's summary closes the run.
cd "$root/build"
ctest --output-on-failure -j2
