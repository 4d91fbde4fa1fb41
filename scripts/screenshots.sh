#!/usr/bin/env bash
# Renders the real windows on the X11 platform under a virtual display and saves PNGs.
# Usage: scripts/screenshots.sh <tolvane_screenshots> <output-folder> <application-folder>
# The test run calls it; the pictures land in <build>/screenshots. When the shared texts and
# the import tool are at hand, the long-entry picture uses the whole of Easton's.
set -euo pipefail
tool="$1"
out="$2"
app="$3"
mkdir -p "$out"
rm -f "$out"/*.png
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
# The zoom the pictures set must not reach the settings of whoever runs the tests.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
full=()
eastons="${TOLVANE_SHARED_DIR:-}/data/eastons.csv"
import="${TOLVANE_BIN_DIR:-$(dirname "$tool")}/tolvane-import"
if [ -f "$eastons" ] && [ -x "$import" ]; then
  mkdir -p "$work/eastons"
  "$import" --quiet --dictionary eastons "$eastons" "$work/eastons/data.mdb" && full=("$work/eastons")
fi
# -a picks a free display, so parallel runs do not collide. 96 dots per inch is the
# resolution the twips layout is drawn for.
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -nolisten tcp" "$tool" "$out" "$app" "${full[@]}"
