#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in their
# own tree and runs each for a while: the RTF reader and its round trip (seeded from a copy of
# the RTF corpus), the query parser round trip, the Find box's full-text query, the LIKE matcher against a reference, the
# engine's LIKE and = queries against the matcher, the CSV reader whole and in pieces (seeded
# from the heads of the shared CSV files), the Jet helper's stream, and the reference finder
# and entry pointers. Each target's corpus
# grows across runs in the build tree. Fails when a target crashes, hangs or runs out of
# memory; the input that did it is kept in the build tree.
# Usage: scripts/fuzz.sh [seconds per target] [build-dir] [target...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
build="${2:-$root/build-fuzz}"
shared="${TOLVANE_SHARED_DIR:-$root/../shared}"
targets=(fuzz_rtf_read fuzz_rtf_roundtrip fuzz_query_roundtrip fuzz_fulltext_query
  fuzz_pattern_matcher fuzz_engine_queries fuzz_csv_reader fuzz_jet_stream fuzz_references)
if [ $# -gt 2 ]; then
  targets=("${@:3}")
fi

# A few starting inputs for the targets without a corpus of their own.
starting_input() { # target name bytes(printf format)
  mkdir -p "$build/fuzz-runs/$1/corpus"
  # shellcheck disable=SC2059
  [ -f "$build/fuzz-runs/$1/corpus/$2" ] || printf "$3" >"$build/fuzz-runs/$1/corpus/$2"
}

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
  case "$target" in
  fuzz_rtf_*)
    if [ -d "$shared/corpus/rtf" ]; then
      cp -n "$shared/corpus/rtf/"*.rtf "$work/corpus/" 2>/dev/null || true
    else
      echo "fuzz: $shared/corpus/rtf not found; $target starts without seeds"
    fi ;;
  fuzz_csv_reader)
    for file in "$shared"/data/*.csv; do
      [ -f "$file" ] || continue
      name="$work/corpus/head-$(basename "$file")"
      [ -f "$name" ] || { printf '\x1b'; head -c 2048 "$file"; } >"$name"
    done
    starting_input "$target" quoted '\x00\xef\xbb\xbf"h1","h2"\r\n"a ""b""",c\r\n' ;;
  fuzz_query_roundtrip)
    starting_input "$target" words "O'Neil * ? [a-z] %%1 ''" ;;
  fuzz_fulltext_query)
    starting_input "$target" words 'gra\x00ce "tree of\tlife"* bless* \xf0\x90\x8c\xb0 the the' ;;
  fuzz_pattern_matcher)
    starting_input "$target" classes '[A-c]*[!0-9]?#\x00Xy`5'
    starting_input "$target" apostrophes "*['x]*\\x00a\\xca\\xbcb" ;;
  fuzz_jet_stream)
    # What the reading helper makes of the legacy corpus (cut short where long).
    for file in "$shared"/corpus/mdb/*.mdb; do
      name="$work/corpus/stream-$(basename "$file")"
      [ -f "$file" ] && [ ! -f "$name" ] && [ -x "$build/app/tolvane-jetread" ] || continue
      { timeout 30 "$build/app/tolvane-jetread" "$file" 2>/dev/null || true; } |
        head -c 65536 >"$name"
    done ;;
  fuzz_engine_queries)
    starting_input "$target" rows 'ab*\x00ABASE\x00abate\x00\x01\x00\xc3\x89den\x00' ;;
  fuzz_references)
    # An entry opening with a bare chapter:verse; "See" with "(q.v.)" after the same name.
    starting_input "$target" bare 'Job\n2:8, 9; 3:1 (Gen. 1:1-3; ver. 4) Lev. xxvii. 18'
    starting_input "$target" see-qv 'Moses\n(See MOSES (q.v.).) See Tyropoeon Valley (q.v.); see also Loan' ;;
  esac
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
