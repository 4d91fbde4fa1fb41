#!/usr/bin/env bash
# Sets up, builds and runs every test: the short fuzzing runs, the whole ctest suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the unit, GUI, crash, install and
# screenshot tests through ctest in the plain build, whose summary closes the output.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
"$root/scripts/build.sh" "$root/build"
# Every fuzz target under libFuzzer with ASan and UBSan (a separate clang tree): 20 seconds
# each (scripts/fuzz.sh lists them); a crash fails the run.
"$root/scripts/fuzz.sh" 20 "$root/build-fuzz"
# The whole ctest suite once more under AddressSanitizer and UndefinedBehaviorSanitizer, in a
# tree of its own: the programs the tests start (the import tool, the reading helpers, the crash
# writer) are built with them too. An error stops its process and fails its test; leaks fail
# too, but for those inside system libraries (tests/support/lsan-suppressions.txt). Left out
# there: the screenshots (pictures for a person, taken once below) and the install and .deb
# check (install rules and package contents are the same in both trees, and a package of
# sanitizer builds is not one that ships).
asan="$root/build-asan"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
if [ ! -f "$asan/CMakeCache.txt" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_ASAN=ON \
    -DTOLVANE_BENCH=OFF "${launcher[@]}" >/dev/null
fi
# The build runs the import tool (the sample dictionaries) under the options the tests get
# (cmake/TolvaneTesting.cmake).
asan_options=halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1
asan_options+=:strict_init_order=1
ASAN_OPTIONS="$asan_options" UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$root/tests/support/lsan-suppressions.txt" cmake --build "$asan"
echo "The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer:"
(cd "$asan" && ctest --output-on-failure -j2 -E '^(tolvane_screenshots|tolvane_install)$')
# The unit and GUI tests and the screenshots, last, so that ctest's summary closes the run.
cd "$root/build"
ctest --output-on-failure -j2
