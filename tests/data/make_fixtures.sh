#!/usr/bin/env bash
# Remakes the fixture dumps of this folder and their expected pictures.
#
# Every dump is written on this machine by a real writer of X Window dumps,
# from one small picture (64 x 48, colour ramps, a white and a black square):
#   imagemagick-*   ImageMagick's convert (24 bits a pixel, most significant
#                   byte first, DirectColor without a colour map; 8-bit
#                   PseudoColor with 16 and 256 colour entries)
#   pnmtoxwd-*      netpbm's pnmtoxwd (-pseudodepth 8, -directcolor, a grey
#                   picture, a 1-bit picture)
#   xwd-root-dN     xwd -root against an Xvfb server of depth N while a
#                   window shows the picture
#   xwd-root-xy-dN  xwd -root -xy, the same screen as XYPixmap
# Each NAME.xwd has NAME.ppm beside it: the picture as the reader that is
# right for that writer decodes it (ImageMagick for its own dumps, netpbm's
# xwdtopnm for pnmtoxwd's and for xwd's ZPixmap dumps). Neither reads an
# XYPixmap deeper than 1 bit, so an XYPixmap dump expects the picture of the
# ZPixmap dump taken of the same screen a moment before.
#
# The pictures were checked by eye. Needs: imagemagick, netpbm, xvfb,
# x11-apps. Usage: tests/data/make_fixtures.sh
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
servers=()
cleanup() {
  for p in "${servers[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

# The picture: red grows to the right, green downwards, blue in bands.
convert -size 64x48 xc: -channel R -fx 'i/(w-1)' -channel G -fx 'j/(h-1)' \
  -channel B -fx '((i+2*j)%16)/15' +channel -fill white -draw 'rectangle 4,4 12,12' \
  -fill black -draw 'rectangle 50,30 58,40' pic.png
pngtopnm pic.png > pic.ppm
ppmtopgm pic.ppm > pic.pgm
pgmtopbm pic.pgm > pic.pbm
pnmquant 255 pic.ppm > pic255.ppm 2>/dev/null

# ImageMagick, read back by ImageMagick.
convert pic.png xwd:imagemagick-rgb24.xwd
convert pic.png -colors 16 xwd:imagemagick-pseudo16.xwd
convert pic.png -type palette xwd:imagemagick-palette.xwd
for f in imagemagick-*.xwd; do
  convert "xwd:$f" -depth 8 "ppm:${f%.xwd}.ppm"
done

# netpbm, read back by xwdtopnm.
pnmtoxwd -pseudodepth 8 pic255.ppm > pnmtoxwd-pseudo8.xwd 2>/dev/null
pnmtoxwd -directcolor pic255.ppm > pnmtoxwd-direct.xwd 2>/dev/null
pnmtoxwd pic.pgm > pnmtoxwd-gray.xwd 2>/dev/null
pnmtoxwd pic.pbm > pnmtoxwd-mono.xwd 2>/dev/null
for f in pnmtoxwd-*.xwd; do
  xwdtopnm "$f" 2>/dev/null | ppmtoppm | pamdepth 255 > "${f%.xwd}.ppm"
done

# xwd against Xvfb servers of each depth.
n=90
for depth in 8 15 16 24 30; do
  while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "64x48x$depth" -nolisten tcp >/dev/null 2>&1 &
  servers+=($!)
  for _ in $(seq 50); do DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  DISPLAY=":$n" display -geometry +0+0 pic.png &
  viewer=$!
  sleep 2
  DISPLAY=":$n" xwd -root -silent -out "xwd-root-d$depth.xwd"
  DISPLAY=":$n" xwd -root -silent -xy -out "xwd-root-xy-d$depth.xwd"
  kill "$viewer"
  wait "$viewer" 2>/dev/null || true
  xwdtopnm "xwd-root-d$depth.xwd" 2>/dev/null | pamdepth 255 > "xwd-root-d$depth.ppm"
  cp "xwd-root-d$depth.ppm" "xwd-root-xy-d$depth.ppm"
  n=$((n + 1))
done

cp ./*-*.xwd ./*-*.ppm "$here/"
ls -l "$here"
