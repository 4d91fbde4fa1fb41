#!/usr/bin/env bash
# Configures and builds one tree. Usage: scripts/build.sh [build-dir] [extra cmake args...]
# BUILD_TARGETS (space-separated) builds only those targets; by default everything is built.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true

# ccache hits across clones in other folders only with these two settings.
export CCACHE_BASEDIR="$root"
export CCACHE_NOHASHDIR=true
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
    "${launcher[@]}" "$@" >/dev/null
fi
targets=()
for t in ${BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$build" "${targets[@]}"
