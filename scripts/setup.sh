#!/usr/bin/env bash
# Installs the Debian packages the project needs. Quiet and quick when all are present.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-qpa-plugins libsqlite3-dev libgtest-dev libbenchmark-dev
  mdbtools-dev libmdb3
  clang-14 libclang-rt-14-dev
  desktop-file-utils appstream lintian dpkg-dev mandoc # installed-program and .deb checks
  xvfb xauth imagemagick xdotool fonts-dejavu-core
  fonts-liberation2 # metric match for the windows' design font, so fixed-size labels fit
  unrtf libicu-dev
  shared-mime-info # what a file that is no dictionary holds ("a PNG image"), for messages
  poppler-utils # pdftotext: the text of an entry saved as PDF
)
# SWORD dictionary modules: the library that reads them, and three public-domain modules
# the import tests and benchmark convert.
PACKAGES+=(
  libsword-dev
  sword-dict-naves sword-dict-strongs-greek sword-dict-strongs-hebrew
  libsword-utils sword-text-kjv # test Bibles (osis2mod) and the verses of references
)
# imp2ld: the tests build small SWORD modules of their own; python3 serves them as a
# repository on 127.0.0.1.
PACKAGES+=(libsword-utils python3)
# tolvane-swordinstall: its own transfers (libcurl, the flavour libsword links) and its own
# unpacking of a repository's mods.d.tar.gz (libarchive).
PACKAGES+=(libcurl4-gnutls-dev libarchive-dev)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
