#!/usr/bin/env bash
# Renders the program's icon (resources/icons/vondrix.svg) to the PNG sizes
# of the hicolor theme; the PNGs are committed. Needs rsvg-convert
# (librsvg2-bin, in scripts/deps.sh --packaging).
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" vondrix.svg -o "vondrix-$size.png"
done
