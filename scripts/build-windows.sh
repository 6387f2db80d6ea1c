#!/usr/bin/env bash
# Builds vondrix-cli.exe, vondrix-phonesim.exe and smscom.dll for 64-bit
# Windows with Debian's mingw-w64 compilers, runs their tests under Wine and
# packs the three files into build-windows/vondrix-windows-x86_64.zip.
#
# The tests compare the Windows programs with the Linux ones (the same
# command lines sent, the same files written, the same messages), so a
# Linux build of vondrix-cli and vondrix-phonesim is needed too: the one in
# $VONDRIX_HOST_BUILD if it has them, else a small one made here.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --windows

BUILD=${VONDRIX_WINDOWS_BUILD:-build-windows}
HOST_BUILD=${VONDRIX_HOST_BUILD:-$BUILD/host}
JOBS=${VONDRIX_JOBS:-2}

if [ ! -x "$HOST_BUILD/src/cli/vondrix-cli" ] || [ ! -x "$HOST_BUILD/src/phonesim/vondrix-phonesim" ]; then
  launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  cmake -S . -B "$HOST_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVONDRIX_GUI=OFF \
    -DVONDRIX_TESTS=OFF -DVONDRIX_BENCH=OFF "${launcher[@]}"
  cmake --build "$HOST_BUILD" -j"$JOBS" --target vondrix-cli vondrix-phonesim
fi
HOST_BIN=$(realpath "$HOST_BUILD")

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DVONDRIX_GUI=OFF -DVONDRIX_BENCH=OFF -DVONDRIX_TESTS=ON \
  -DVONDRIX_WERROR=ON -DVONDRIX_HOST_BUILD="$HOST_BIN" "${launcher[@]}"
cmake --build "$BUILD" -j"$JOBS"

# One Wine prefix for the build, made before the tests so that its first
# start (several seconds) is not counted against a test's time; no Mono or
# Gecko installer is wanted.
export WINEPREFIX
WINEPREFIX=$(realpath "$BUILD")/wineprefix
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine wineboot --init >/dev/null 2>&1 || true
  wineserver --wait || true
fi
# The server outlives the programs and writes to the standard error of the
# one that started it: started here, it writes nowhere.
wineserver --persistent=60 >/dev/null 2>&1 || true
status=0
ctest --test-dir "$BUILD" -j"$JOBS" --output-on-failure --timeout 300 || status=$?
wineserver --kill >/dev/null 2>&1 || true
[ "$status" -eq 0 ] || exit "$status"

zip_file=$BUILD/vondrix-windows-x86_64.zip
rm -f "$zip_file"
zip -j -q "$zip_file" "$BUILD/src/cli/vondrix-cli.exe" "$BUILD/src/phonesim/vondrix-phonesim.exe" \
  "$BUILD/examples/smscom/smscom.dll"
echo "Windows build: $zip_file"
