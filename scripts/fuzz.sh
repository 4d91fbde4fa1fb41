#!/usr/bin/env bash
# Builds the RTF fuzz targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# their own tree and runs each for a while, seeded from a copy of the RTF corpus. Fails when a
# target crashes, hangs or runs out of memory; the input that did it is kept in the build tree.
# Usage: scripts/fuzz.sh [seconds per target] [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
build="${2:-$root/build-fuzz}"
shared="${TOLVANE_SHARED_DIR:-$root/../shared}"
targets=(fuzz_rtf_read fuzz_rtf_roundtrip)

export CCACHE_BASEDIR="$root"
export CCACHE_NOHASHDIR=true
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

if [ ! -f "$build/CMakeCache.txt" ]; then
  CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTOLVANE_FUZZ=ON -DTOLVANE_TESTS=OFF -DTOLVANE_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
for target in "${targets[@]}"; do
  work="$build/fuzz-runs/$target"
  mkdir -p "$work/corpus" "$work/artifacts"
  if [ -d "$shared/corpus/rtf" ]; then
    cp -n "$shared/corpus/rtf/"*.rtf "$work/corpus/" 2>/dev/null || true
  else
    echo "fuzz: $shared/corpus/rtf not found; $target starts without seeds"
  fi
  echo "fuzz: $target for ${seconds}s"
  if ! "$build/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" \
      >"$work/last-run.log" 2>&1; then
    echo "fuzz: $target FAILED; see $work/last-run.log and $work/artifacts/"
    tail -40 "$work/last-run.log"
    status=1
  else
    grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|cov: " "$work/last-run.log" | tail -3
  fi
done
exit $status
