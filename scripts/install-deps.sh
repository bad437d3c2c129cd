#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Varnel needs.
# Run as root (it uses sudo when it is not root and sudo exists).
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
packages=(
  cmake make g++ pkg-config        # the build
  qt6-base-dev libgl-dev           # Qt 6 Core/Gui/Widgets/PrintSupport/Test (Gui wants GL headers)
  libsqlite3-dev sqlite3           # the SQL engine; the shell is the benchmark floor
  libgtest-dev libgmock-dev        # unit tests
  clang libclang-rt-14-dev         # sanitizer and libFuzzer builds
  clang-format                     # the format check
  pxlib-dev                        # independent Paradox reader/writer, tests and benchmarks only
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
