#!/usr/bin/env bash
# Builds the Debian package vondrix_VERSION_ARCH.deb from a Release build
# with the desktop program, and checks it: its file list, the desktop entry
# and AppStream file with their validators, and lintian (no errors).
#   scripts/package.sh [BUILD_DIR]   (default build-package; an existing
#                                     Release build with the GUI is reused)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --packaging

BUILD=${1:-build-package}
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  # Debian's hardening flags, as a Debian build would set them.
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DVONDRIX_TESTS=OFF -DVONDRIX_BENCH=OFF "${launcher[@]}"
fi
if ! grep -q '^VONDRIX_GUI:BOOL=ON' "$BUILD/CMakeCache.txt"; then
  echo "package.sh: $BUILD is built without the desktop program" >&2
  exit 1
fi
cmake --build "$BUILD" -j2
rm -f "$BUILD"/vondrix_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
deb=$(ls "$BUILD"/vondrix_*.deb)

# The file list: the programs, help, manual pages, completion, desktop entry,
# icon, AppStream file and the example module.
listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
missing=0
for f in usr/bin/vondrix usr/bin/vondrix-cli usr/bin/vondrix-phonesim \
  usr/share/vondrix/help/pallado.html usr/share/vondrix/help/palladode.html \
  usr/share/man/man1/vondrix.1.gz usr/share/man/man1/vondrix-cli.1.gz \
  usr/share/man/man1/vondrix-phonesim.1.gz \
  usr/share/bash-completion/completions/vondrix-cli \
  usr/share/applications/org.vondrix.Vondrix.desktop \
  usr/share/icons/hicolor/scalable/apps/org.vondrix.Vondrix.svg \
  usr/share/icons/hicolor/48x48/apps/org.vondrix.Vondrix.png \
  usr/share/metainfo/org.vondrix.Vondrix.metainfo.xml \
  usr/lib/vondrix/modules/smscom.so usr/share/doc/vondrix/copyright usr/share/doc/vondrix/changelog.gz; do
  if ! grep -qx "\./$f" <<<"$listing"; then
    echo "package.sh: $deb lacks /$f" >&2
    missing=1
  fi
done
[ "$missing" = 0 ]

desktop-file-validate resources/desktop/org.vondrix.Vondrix.desktop
appstreamcli validate --no-net resources/desktop/org.vondrix.Vondrix.metainfo.xml >/dev/null
# Lintian refuses to run as root without this.
lintian --allow-root --fail-on error "$deb"
echo "$deb"
