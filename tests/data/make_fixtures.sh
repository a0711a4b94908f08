#!/usr/bin/env bash
# Remakes the fixture dumps of this folder and their expected pictures.
#
# Every dump is written on this machine by a real writer of X Window dumps.
# The first groups start from one picture of 64 x 48 (colour ramps, a white
# and a black square), the later ones from a smaller one of 37 x 13 drawn
# the same way:
#   imagemagick-*   ImageMagick's convert (24 bits a pixel, most significant
#                   byte first, DirectColor without a colour map; 8-bit
#                   PseudoColor with 16 and 256 colour entries)
#   pnmtoxwd-*      netpbm's pnmtoxwd (-pseudodepth 8, -directcolor, a grey
#                   picture, a 1-bit picture)
#   xwd-root-dN     xwd -root against an Xvfb server of depth N while a
#                   window shows the picture
#   xwd-root-xy-dN  xwd -root -xy, the same screen as XYPixmap
#   gimp-*          GIMP in batch mode, file-xwd-save: RGB (24 bits a pixel,
#                   DirectColor), grey (StaticGray with its map), indexed
#                   with 6 and with 2 colours; the header holds no window
#                   name at all (header size 100)
#   ffmpeg-FMT      ffmpeg's XWD encoder, one dump for each pixel format it
#                   writes: 32-bit with alpha in four orders, 24-bit RGB and
#                   BGR, 16-bit 565 and 555 in both orders and byte orders,
#                   8-bit 332/233 and 4-bit palettes, pal8, grey, 1-bit
#   gm-*            GraphicsMagick's gm convert: true colour (24-bit
#                   DirectColor), palette, grey palette, monochrome
#   xwd-45x22-root-dN[-VISUAL]
#                   xwd -root against an Xvfb screen of 45 x 22 pixels and
#                   depth N (8, 15, 16, 24, 30: the depths Xvfb starts with;
#                   1, 4 and 12 it refuses), with the server's default
#                   visual class where VISUAL names none. -multivisual: the
#                   window uses a visual other than the root's, and xwd
#                   writes 24-bit DirectColor
#   xwd-45x22-root-xy-dN  the same screens as XYPixmap
#   xwd-window[-xy]-dN    xwd -id of the 41 x 17 window (picture and border)
#                   that shows the picture; its header carries the window's
#                   name
# Each NAME.xwd has NAME.ppm beside it: the picture as the reader that is
# right for that writer decodes it: the writer's own reader for ImageMagick,
# GIMP, ffmpeg and GraphicsMagick; netpbm's xwdtopnm for pnmtoxwd's dumps
# and for xwd's ZPixmap dumps, except DirectColor screens, which xwdtopnm
# and ffmpeg read without their colour map at depths 16 and 24: those
# GraphicsMagick reads (each channel's value picks its intensity from the
# map, as worked out by hand). Neither reads an XYPixmap deeper than 1 bit,
# so an XYPixmap dump expects the picture of the ZPixmap dump taken of the
# same screen a moment before.
#
# The pictures were checked by eye. Needs: imagemagick, netpbm, xvfb,
# x11-apps, x11-utils, gimp, ffmpeg, graphicsmagick.
# Usage: tests/data/make_fixtures.sh [GROUP...]
#   GROUP: imagemagick pnmtoxwd xwd-root gimp ffmpeg gm xvfb (default: all);
#   only the named groups' files are replaced.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(imagemagick pnmtoxwd xwd-root gimp ffmpeg gm xvfb)
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

# The smaller picture, drawn the same way.
convert -size 37x13 xc: -channel R -fx 'i/(w-1)' -channel G -fx 'j/(h-1)' \
  -channel B -fx '((i+2*j)%16)/15' +channel -fill white -draw 'rectangle 2,2 6,6' \
  -fill black -draw 'rectangle 28,5 33,10' -alpha off -depth 8 PNG24:small.png

# ImageMagick, read back by ImageMagick.
group_imagemagick() {
  convert pic.png xwd:imagemagick-rgb24.xwd
  convert pic.png -colors 16 xwd:imagemagick-pseudo16.xwd
  convert pic.png -type palette xwd:imagemagick-palette.xwd
  for f in imagemagick-*.xwd; do
    convert "xwd:$f" -depth 8 "ppm:${f%.xwd}.ppm"
  done
}

# netpbm, read back by xwdtopnm.
group_pnmtoxwd() {
  pnmtoxwd -pseudodepth 8 pic255.ppm > pnmtoxwd-pseudo8.xwd 2>/dev/null
  pnmtoxwd -directcolor pic255.ppm > pnmtoxwd-direct.xwd 2>/dev/null
  pnmtoxwd pic.pgm > pnmtoxwd-gray.xwd 2>/dev/null
  pnmtoxwd pic.pbm > pnmtoxwd-mono.xwd 2>/dev/null
  for f in pnmtoxwd-*.xwd; do
    xwdtopnm "$f" 2>/dev/null | ppmtoppm | pamdepth 255 > "${f%.xwd}.ppm"
  done
}

# xwd against Xvfb servers of each depth.
group_xwd_root() {
  n=90
  for depth in 8 15 16 24 30; do
    while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "64x48x$depth" -nolisten tcp -noreset >/dev/null 2>&1 &
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
}

# GIMP in batch mode: saved by file-xwd-save, read back by GIMP's own loader.
group_gimp() {
  local save='(define (rx-save dst kind colours)
      (let* ((image (car (file-png-load RUN-NONINTERACTIVE "small.png" "small.png"))))
        (cond ((equal? kind "grey") (gimp-image-convert-grayscale image))
              ((equal? kind "indexed")
               (gimp-image-convert-indexed image CONVERT-DITHER-NONE
                 CONVERT-PALETTE-GENERATE colours FALSE FALSE "")))
        (file-xwd-save RUN-NONINTERACTIVE image
          (car (gimp-image-get-active-layer image)) dst dst)
        (gimp-image-delete image)))'
  local load='(define (rx-load src dst)
      (let* ((image (car (gimp-file-load RUN-NONINTERACTIVE src src))))
        (if (not (= (car (gimp-image-base-type image)) RGB))
            (gimp-image-convert-rgb image))
        (file-ppm-save RUN-NONINTERACTIVE image
          (car (gimp-image-get-active-layer image)) dst dst 1)
        (gimp-image-delete image)))'
  local run=(env HOME="$work/gimp-home" gimp-console -i -d -f)
  "${run[@]}" -b "(begin $save
      (rx-save \"gimp-rgb.xwd\" \"rgb\" 0)
      (rx-save \"gimp-grey.xwd\" \"grey\" 0)
      (rx-save \"gimp-indexed6.xwd\" \"indexed\" 6)
      (rx-save \"gimp-indexed2.xwd\" \"indexed\" 2))" -b '(gimp-quit 0)' >/dev/null 2>&1
  local reads=""
  for f in gimp-*.xwd; do reads="$reads (rx-load \"$f\" \"${f%.xwd}.ppm\")"; done
  "${run[@]}" -b "(begin $load $reads)" -b '(gimp-quit 0)' >/dev/null 2>&1
}

# ffmpeg's XWD encoder, each pixel format it lists; read back by ffmpeg.
group_ffmpeg() {
  local formats
  formats=$(ffmpeg -hide_banner -h encoder=xwd | sed -n 's/.*Supported pixel formats: //p')
  for fmt in $formats; do
    ffmpeg -hide_banner -loglevel error -y -i small.png -frames:v 1 -pix_fmt "$fmt" \
      -c:v xwd -f image2 "ffmpeg-$fmt.xwd"
    ffmpeg -hide_banner -loglevel error -y -i "ffmpeg-$fmt.xwd" -pix_fmt rgb24 \
      -c:v ppm -f image2 "ffmpeg-$fmt.ppm"
  done
}

# GraphicsMagick, read back by GraphicsMagick.
group_gm() {
  gm convert small.png gm-truecolor.xwd
  gm convert small.png -type Palette gm-palette.xwd
  gm convert small.png -colorspace GRAY -type Palette gm-grey.xwd
  gm convert small.png -monochrome gm-mono.xwd
  for f in gm-*.xwd; do
    gm convert "xwd:$f" -depth 8 "ppm:${f%.xwd}.ppm"
  done
}

# xwd against small Xvfb screens: every depth the server starts with, other
# visual classes through the server's default class (-cc), the root and the
# window that shows the picture, ZPixmap and XYPixmap.
xvfb_display=90
xvfb_shot() {  # depth, visual class or "", name tag, what: root | all | multi
  local depth=$1 class=$2 tag=$3 what=$4 n server viewer id
  n=$xvfb_display
  while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  xvfb_display=$((n + 1))
  Xvfb ":$n" -screen 0 "45x22x$depth" ${class:+-cc "$class"} -nolisten tcp -noreset >/dev/null 2>&1 &
  server=$!
  servers+=("$server")
  for _ in $(seq 100); do DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  DISPLAY=":$n" xdpyinfo >/dev/null || { echo "Xvfb :$n at depth $depth did not start" >&2; exit 1; }
  # (-noreset: the server does not restart, briefly refusing connections,
  # each time its last client leaves.)
  # The viewer takes the screen's default visual, else it picks a deeper
  # one and xwd dumps a screen of two visuals (-multivisual).
  local visual=()
  [ "$what" = multi ] ||
    visual=(-visual "$(DISPLAY=":$n" xdpyinfo | awk '/default visual id/ {print $4}')")
  DISPLAY=":$n" display "${visual[@]}" -geometry +3+4 -title "rastrex test window" small.png &
  viewer=$!
  sleep 2
  DISPLAY=":$n" xwd -root -silent -out "xwd-45x22-root-$tag.xwd"
  if [ "$what" = all ]; then
    DISPLAY=":$n" xwd -root -silent -xy -out "xwd-45x22-root-xy-$tag.xwd"
    id=$(DISPLAY=":$n" xwininfo -name "rastrex test window" | awk '/Window id:/ {print $4}')
    DISPLAY=":$n" xwd -id "$id" -silent -out "xwd-window-$tag.xwd"
    DISPLAY=":$n" xwd -id "$id" -silent -xy -out "xwd-window-xy-$tag.xwd"
  fi
  kill "$viewer" "$server"
  wait "$viewer" "$server" 2>/dev/null || true
}

group_xvfb() {
  for depth in 8 15 16 24 30; do xvfb_shot "$depth" "" "d$depth" all; done
  for class in 0:staticgray 1:grayscale 2:staticcolor 4:truecolor 5:directcolor; do
    xvfb_shot 8 "${class%%:*}" "d8-${class#*:}" root
  done
  xvfb_shot 16 5 d16-directcolor root
  xvfb_shot 24 5 d24-directcolor root
  xvfb_shot 16 "" d16-multivisual multi
  local f z
  for f in xwd-45x22-root-d*.xwd xwd-window-d*.xwd; do
    case "$f" in
    *d16-directcolor* | *d24-directcolor*) gm convert "xwd:$f" -depth 8 "ppm:${f%.xwd}.ppm" ;;
    *) xwdtopnm "$f" 2>/dev/null | ppmtoppm | pamdepth 255 > "${f%.xwd}.ppm" ;;
    esac
  done
  for f in xwd-45x22-root-xy-*.xwd xwd-window-xy-*.xwd; do
    z=${f/-xy/}
    cp "${z%.xwd}.ppm" "${f%.xwd}.ppm"
  done
}

declare -A prefix=([imagemagick]=imagemagick- [pnmtoxwd]=pnmtoxwd- [xwd-root]=xwd-root-
  [gimp]=gimp- [ffmpeg]=ffmpeg- [gm]=gm- [xvfb]="xwd-45x22- xwd-window-")
for g in "${groups[@]}"; do
  [ -n "${prefix[$g]:-}" ] || { echo "unknown group: $g" >&2; exit 2; }
  "group_${g//-/_}"
  for p in ${prefix[$g]}; do cp "$p"*.xwd "$p"*.ppm "$here/"; done
done
ls -l "$here"
