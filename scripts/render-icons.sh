#!/usr/bin/env bash
# Renders the icon's PNG sizes from its SVG; the PNGs are committed, so a
# build needs no SVG renderer. Run after changing the SVG:
#   scripts/render-icons.sh [OUTPUT_DIR]   (default: packaging/icons)
set -eu
cd "$(dirname "$0")/.."
out=${1:-packaging/icons}
for size in 64 128; do
  mkdir -p "$out/${size}x${size}"
  rsvg-convert -w $size -h $size packaging/icons/vela-test.svg -o "$out/${size}x${size}/vela-test.png"
done
