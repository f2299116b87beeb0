#!/usr/bin/env bash
# Renders the icon's PNG images from quorrix.svg. The PNGs are committed, so building needs
# no SVG renderer; run this after changing the drawing (needs rsvg-convert: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48; do
  rsvg-convert -w "$size" -h "$size" quorrix.svg -o "quorrix-$size.png"
done
