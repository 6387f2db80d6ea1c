#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, if missing.
# Run by run.sh and test.sh; safe to run again. With --packaging, also what
# scripts/package.sh needs to build and check the Debian package; with
# --windows, what scripts/build-windows.sh needs to build for Windows and run
# the tests under Wine.
set -euo pipefail

VONDRIX_PACKAGES=(
  ca-certificates git cmake ninja-build pkg-config g++ clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-qpa-plugins libgl-dev
  fonts-liberation2 fonts-dejavu-core
  poppler-utils
  imagemagick giflib-tools libgif-dev
  python3 python3-icalendar python3-vobject
)
for option in "$@"; do
  case "$option" in
    --packaging)
      VONDRIX_PACKAGES+=(dpkg-dev file lintian desktop-file-utils appstream librsvg2-bin) ;;
    --windows)
      # GoogleTest comes as Debian's sources (googletest), built for the target.
      VONDRIX_PACKAGES+=(g++-mingw-w64-x86-64-posix googletest wine wine64 zip python3) ;;
    *)
      echo "deps.sh: unknown option $option" >&2
      exit 2 ;;
  esac
done

missing=()
for p in "${VONDRIX_PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
