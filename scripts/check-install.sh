#!/usr/bin/env bash
# Checks Tolvane as a user and a packager get it, from a built tree:
#   - the desktop entry and the AppStream metainfo validate, without hints; the manual pages
#     parse without warnings (mandoc -T lint);
#   - `cmake --install` into a temporary prefix writes only there, and the installed programs
#     answer --version;
#   - the installed program starts offscreen with a new $XDG_DATA_HOME and populates the
#     user's dictionary folder from share/tolvane; under Xvfb it opens a dictionary from its
#     menu; an edit reaches the user's copy only (tolvane_shell_tests on the installed files);
#   - tolvane-import without OUTPUT writes into that folder, and the installed one converts a
#     legacy .mdb file with the helper from libexec/tolvane (when the shared corpus is there);
#   - the installed README speaks to a user of the installed program, not of a build tree;
#   - under Xvfb the main window's class is the desktop entry's StartupWMClass;
#   - `cpack -G DEB` builds the package, its control fields are right (each dependency named
#     once), and `lintian -EviIL +pedantic` reports no error or warning, nor a hardening tag
#     that a build flag fixes (its other notes are printed).
# Usage: scripts/check-install.sh BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:?usage: check-install.sh BUILD_DIR}" && pwd)"
tmp="$(mktemp -d)"
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
# The programs started here remember nothing of the user's own runs, nor leave anything there.
export XDG_CONFIG_HOME="$tmp/config"
fail() { echo "check-install: $*" >&2; exit 1; }
step() { echo "check-install: $*"; }

step "desktop entry and metainfo"
desktop="$root/packaging/example.kestrane.Tolvane.desktop"
hints="$(desktop-file-validate "$desktop" 2>&1)" || fail "desktop-file-validate: $hints"
[ -z "$hints" ] || fail "desktop-file-validate: $hints"
appstreamcli validate --no-net "$root/packaging/example.kestrane.Tolvane.metainfo.xml"
wmclass="$(sed -n 's/^StartupWMClass=//p' "$desktop")"
[ "$wmclass" = Tolvane ] || fail "StartupWMClass is '$wmclass', not Tolvane"

step "manual pages"
for page in "$root"/packaging/man/*.1; do
  lint="$(mandoc -T lint -W warning "$page" 2>&1)" || fail "mandoc: $lint"
  [ -z "$lint" ] || fail "mandoc: $lint"
done

step "install into a temporary prefix"
prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
outside="$(grep -v "^$prefix/" "$build/install_manifest.txt" || true)"
[ -z "$outside" ] || fail "installed outside the prefix: $outside"
for f in bin/tolvane bin/tolvane-import libexec/tolvane/tolvane-jetread libexec/tolvane/tolvane-swordread \
         share/tolvane/db2.mdb share/tolvane/data.mdb share/tolvane/names.mdb \
         share/applications/example.kestrane.Tolvane.desktop \
         share/metainfo/example.kestrane.Tolvane.metainfo.xml \
         share/icons/hicolor/scalable/apps/example.kestrane.Tolvane.svg \
         share/icons/hicolor/16x16/apps/example.kestrane.Tolvane.png \
         share/icons/hicolor/256x256/apps/example.kestrane.Tolvane.png \
         share/man/man1/tolvane.1.gz share/man/man1/tolvane-import.1.gz \
         share/doc/tolvane/README share/doc/tolvane/copyright; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done

step "the installed README is for the installed program"
readme="$prefix/share/doc/tolvane/README"
for topic in 'tolvane --fresh' '.local/share/tolvane' 'tolvane-import --sword'; do
  grep -qF -- "$topic" "$readme" || fail "the installed README does not mention $topic"
done
if grep -nE 'scripts/|build/app|cmake|ctest' "$readme"; then fail "build-tree commands in the installed README"; fi

step "installed programs answer --version"
[ "$("$prefix/bin/tolvane" --version)" = "Tolvane 1.0.0" ] || fail "tolvane --version"
"$prefix/bin/tolvane-import" --version | grep -q '^tolvane-import 1\.0\.0$' || fail "tolvane-import --version"

step "installed program populates a new user folder and opens a dictionary"
# Offscreen first: the user folder receives the shipped files and the program stays up.
home="$tmp/home"
XDG_DATA_HOME="$home" QT_QPA_PLATFORM=offscreen "$prefix/bin/tolvane" &
pid=$!
for _ in $(seq 300); do
  [ -f "$home/tolvane/db2.mdb" ] && [ -f "$home/tolvane/data.mdb" ] && [ -f "$home/tolvane/names.mdb" ] && break
  sleep 0.2
done
for f in db2.mdb data.mdb names.mdb; do
  cmp -s "$prefix/share/tolvane/$f" "$home/tolvane/$f" || fail "$f was not copied into $home/tolvane"
done
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the installed program did not stay up"
kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""
# Then on a virtual display, driven as a user would: Dictionaries, first item (KJV).
cat >"$tmp/open-dictionary.sh" <<'DRIVE'
set -euo pipefail
"$1/bin/tolvane" &
program=$!
trap 'kill $program 2>/dev/null || true' EXIT
window="$(timeout 60 xdotool search --sync --onlyvisible --name '^Tolvane$' | head -1)"
# The desktop entry's StartupWMClass names the window's class.
xdotool search --onlyvisible --class '^Tolvane$' | grep -qx "$window" \
  || { echo "the main window's class is not Tolvane" >&2; exit 1; }
sleep 1
xdotool mousemove --window "$window" 40 10 click 1
sleep 1
xdotool key Down Return
timeout 30 xdotool search --sync --onlyvisible --name 'King James Dictionary of Archaic Words' >/dev/null
DRIVE
XDG_DATA_HOME="$home" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -nolisten tcp" bash "$tmp/open-dictionary.sh" "$prefix" \
  || fail "the installed program did not open the King James dictionary from its menu"

step "a dictionary opens and an edit reaches the user's copy only"
TOLVANE_INSTALL_PREFIX="$prefix" QT_QPA_PLATFORM=offscreen \
  "$build/bin/tolvane_shell_tests" --gtest_filter='*InstalledCopy*' | tee "$tmp/gtest.txt"
grep -q '^\[  PASSED  \] 1 test' "$tmp/gtest.txt" || fail "the installed-copy test did not run"

step "tolvane-import without OUTPUT writes into the user folder"
shipped_sum="$(sha256sum < "$prefix/share/tolvane/names.mdb")"
XDG_DATA_HOME="$tmp/home2" "$prefix/bin/tolvane-import" -q --dictionary hitchcock "$root/sample/hitchcock.csv"
[ -s "$tmp/home2/tolvane/names.mdb" ] || fail "tolvane-import wrote no $tmp/home2/tolvane/names.mdb"
[ "$(sha256sum < "$prefix/share/tolvane/names.mdb")" = "$shipped_sum" ] || fail "the shipped names.mdb changed"

step "the installed tolvane-import finds its helper in libexec/tolvane"
legacy="${TOLVANE_SHARED_DIR:-$root/../shared}/corpus/mdb/jet3__testV1997.mdb"
if [ -f "$legacy" ]; then
  env -u TOLVANE_APP_DIR -u TOLVANE_JETREAD PATH=/usr/bin:/bin \
    "$prefix/bin/tolvane-import" -q "$legacy" "$tmp/converted.mdb" \
    || fail "the installed tolvane-import could not convert $legacy"
  [ -s "$tmp/converted.mdb" ] || fail "no converted file"
else
  echo "check-install: skipped, no legacy sample at $legacy"
fi

step "installed tolvane-import finds its SWORD helper"
env -u TOLVANE_SWORDREAD -u TOLVANE_BIN_DIR -u TOLVANE_APP_DIR PATH=/usr/bin:/bin \
  "$prefix/bin/tolvane-import" --sword-list >/dev/null \
  || fail "tolvane-import --sword-list"

step "Debian package"
(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/deb" >/dev/null)
deb="$(ls "$tmp"/deb/tolvane_1.0.0_*.deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
for d in fonts-liberation2 libmdb3 libqt6widgets6 libsqlite3-0; do
  grep -q "$d" <<<"$depends" || fail "Depends lacks $d: $depends"
done
twice="$(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/[[:space:]]//g' | sort | uniq -d)"
[ -z "$twice" ] || fail "Depends names $twice more than once: $depends"
[ "$(dpkg-deb -f "$deb" Section)" = text ] || fail "Section is not text"
[ "$(dpkg-deb -f "$deb" Maintainer)" = "Kestrane <info@kestrane.example>" ] || fail "Maintainer"
lintian_out="$tmp/lintian.txt"
lintian -EviIL +pedantic --tag-display-limit 0 "$deb" >"$lintian_out" 2>&1 || true
cat "$lintian_out"
if grep -qE '^(E|W): ' "$lintian_out"; then fail "lintian reports errors or warnings on $(basename "$deb")"; fi
if grep -qE 'hardening-no-(bindnow|fortify-functions|relro|pie)' "$lintian_out"; then
  fail "lintian: a binary is built without the hardening flags"
fi
step "all passed ($(basename "$deb"))"
