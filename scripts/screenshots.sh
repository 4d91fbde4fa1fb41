#!/usr/bin/env bash
# Renders the real windows on the X11 platform under a virtual display and saves PNGs.
# Usage: scripts/screenshots.sh <tolvane_screenshots> <output-folder> <application-folder>
# The test run calls it; the pictures land in <build>/screenshots.
set -euo pipefail
tool="$1"
out="$2"
app="$3"
mkdir -p "$out"
rm -f "$out"/*.png
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
# -a picks a free display, so parallel runs do not collide. 96 dots per inch is the
# resolution the twips layout is drawn for.
exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -nolisten tcp" "$tool" "$out" "$app"
