#!/usr/bin/env bash
# Draws the product's artwork with ImageMagick: the gauge emblem, the side and dialog pictures,
# the installer and uninstaller pictures, the ticks and the program icons. Every picture is
# rebuilt from nothing but this script and the pixel drawings in src/, so running it again gives
# the files that are committed beside it (see README.md).
#
#   art/make-art.sh [OUTPUT_DIR]      (default: the folder of this script)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ImageMagick's own convert; a wrapper earlier on PATH may stand in for it.
IM=/usr/bin/convert
[ -x "$IM" ] || IM=$(command -v convert)
im() { "$IM" "$@"; }

SERIF=Liberation-Serif-Bold
SANS=Liberation-Sans-Bold

# ---------------------------------------------------------------------------------------------
# Geometry: polygons as "x,y x,y ..." lists for -draw. Strokes are drawn as filled outlines
# because ImageMagick 6's stroker leaves spurs at the ends of open paths.

# band CX CY R_INNER R_OUTER A0 A1: a ring segment between two radii, angles in degrees
# (0 = east, 90 = south, as on the screen).
band() {
  awk -v cx="$1" -v cy="$2" -v r0="$3" -v r1="$4" -v a0="$5" -v a1="$6" 'BEGIN {
    n = 72; d = 3.14159265358979 / 180
    for (i = 0; i <= n; i++) { a = (a0 + (a1 - a0) * i / n) * d; printf "%.2f,%.2f ", cx + r1 * cos(a), cy + r1 * sin(a) }
    for (i = n; i >= 0; i--) { a = (a0 + (a1 - a0) * i / n) * d; printf "%.2f,%.2f ", cx + r0 * cos(a), cy + r0 * sin(a) }
  }'
}

# needle CX CY ANGLE TIP BASE TAIL [SIDE]: the gauge's pointer; SIDE "left" or "right" gives
# only that half (for the two-tone bevel), nothing gives the whole.
needle() {
  awk -v cx="$1" -v cy="$2" -v t="$3" -v tip="$4" -v base="$5" -v tail="$6" -v side="${7:-}" 'BEGIN {
    d = 3.14159265358979 / 180; a = t * d; l = (t - 90) * d; r = (t + 90) * d; b = (t + 180) * d
    tx = cx + tip * cos(a); ty = cy + tip * sin(a)
    lx = cx + base * cos(l); ly = cy + base * sin(l)
    rx = cx + base * cos(r); ry = cy + base * sin(r)
    bx = cx + tail * cos(b); by = cy + tail * sin(b)
    if (side == "left") printf "%.2f,%.2f %.2f,%.2f %.2f,%.2f %.2f,%.2f", tx, ty, lx, ly, bx, by, cx, cy
    else if (side == "right") printf "%.2f,%.2f %.2f,%.2f %.2f,%.2f %.2f,%.2f", tx, ty, cx, cy, bx, by, rx, ry
    else printf "%.2f,%.2f %.2f,%.2f %.2f,%.2f %.2f,%.2f", tx, ty, lx, ly, bx, by, rx, ry
  }'
}

# swoosh W H X0 Y0 X1 Y1 LIFT THICK: a tapered crescent from (X0,Y0) to (X1,Y1) that bows LIFT
# pixels upwards, THICK at its widest.
swoosh() {
  awk -v x0="$3" -v y0="$4" -v x1="$5" -v y1="$6" -v lift="$7" -v th="$8" 'BEGIN {
    n = 64
    for (i = 0; i <= n; i++) { s = i / n; x = x0 + (x1 - x0) * s; y = y0 + (y1 - y0) * s - lift * 4 * s * (1 - s)
      printf "%.2f,%.2f ", x, y }
    for (i = n; i >= 0; i--) { s = i / n; x = x0 + (x1 - x0) * s; y = y0 + (y1 - y0) * s - lift * 4 * s * (1 - s)
      w = th * 4 * s * (1 - s) * (0.4 + 0.6 * s); printf "%.2f,%.2f ", x, y + w }
  }'
}

# disc IMAGE CX CY R OUT: IMAGE cut to a disc (size of IMAGE kept).
disc() {
  local size
  size=$(im "$1" -format '%wx%h' info:)
  im "$1" \( -size "$size" xc:black -fill white -draw "circle $2,$3 $2,$(($3 - $4))" \) \
    -alpha off -compose CopyOpacity -composite "$5"
}

# ---------------------------------------------------------------------------------------------
# The emblem: a bevelled chrome gauge with a dark blue dial, a green-yellow-red scale and an
# orange needle near the top of the scale. Drawn at 400 x 400 and scaled down where used, so
# that every size is smoothly anti-aliased.

make_emblem() {
  local e=$work/emblem
  mkdir -p "$e"
  # Bezel: light from the top left, a darker groove turned the other way, and a navy rim line.
  im -size 400x400 -define gradient:direction=SouthEast gradient:'#FFFFFF-#46536E' "$e/g1.png"
  disc "$e/g1.png" 200 200 186 "$e/bezel.png"
  im -size 400x400 -define gradient:direction=SouthEast gradient:'#39465F-#F4F7FF' "$e/g2.png"
  disc "$e/g2.png" 200 200 164 "$e/groove.png"
  im -size 480x480 radial-gradient:'#3D7BEA-#030B30' -crop 400x400+70+70 +repage "$e/g3.png"
  disc "$e/g3.png" 200 200 152 "$e/face.png"
  # Gloss over the upper half of the dial: a fading white kept only inside an ellipse.
  im -size 400x400 gradient:'rgba(255,255,255,0.55)-rgba(255,255,255,0)' \
    \( -size 400x400 xc:none -fill white -draw "ellipse 200,130 118,74 0,360" \) \
    -compose DstIn -composite "$e/gloss.png"

  im -size 400x400 xc:none \
    \( -size 400x400 xc:none -fill 'rgba(0,0,16,0.6)' -draw "circle 212,216 212,30" -blur 0x9 \) \
    -composite \
    -fill '#0A1440' -draw "circle 200,200 200,12" \
    "$e/bezel.png" -composite \
    "$e/groove.png" -composite \
    "$e/face.png" -composite \
    -fill '#2AD25E' -draw "polygon $(band 200 200 116 134 135 250)" \
    -fill '#F6D22E' -draw "polygon $(band 200 200 116 134 250 340)" \
    -fill '#F23C1E' -draw "polygon $(band 200 200 116 134 340 405)" \
    "$e/tickmarks.png" -composite \
    -fill '#C42A08' -draw "polygon $(needle 200 200 315 128 13 34 right)" \
    -fill '#FF8A3A' -draw "polygon $(needle 200 200 315 128 13 34 left)" \
    \( -size 400x400 -define gradient:direction=SouthEast gradient:'#FFFFFF-#59657E' \
       \( -size 400x400 xc:black -fill white -draw "circle 200,200 200,176" \) \
       -alpha off -compose CopyOpacity -composite \) -compose over -composite \
    -fill '#1A2238' -draw "circle 200,200 200,190" \
    -fill 'rgba(255,255,255,0.85)' -draw "circle 195,195 195,192" \
    "$e/gloss.png" -compose over -composite \
    "$work/emblem.png"
}

make_tickmarks() {
  local e=$work/emblem args=() a
  mkdir -p "$e"
  for a in 135 157.5 180 202.5 225 247.5 270 292.5 315 337.5 360 382.5 405; do
    args+=(-draw "polygon $(band 200 200 96 114 "$(awk -v a="$a" 'BEGIN{print a-1.3}')" \
      "$(awk -v a="$a" 'BEGIN{print a+1.3}')")")
  done
  im -size 400x400 xc:none -fill '#E8F0FF' "${args[@]}" "$e/tickmarks.png"
}

# emblem SIZE OUT: the emblem scaled to SIZE x SIZE with its alpha.
emblem() {
  im "$work/emblem.png" -filter Lanczos -resize "$1x$1" "$2"
}

# ---------------------------------------------------------------------------------------------
# Backgrounds and frames.

# backdrop W H OUT: deep blue to teal, with faint diagonal light bands rising to the right.
backdrop() {
  local w=$1 h=$2
  im -size "${w}x${h}" gradient:'#071452-#0C8A94' \
    -fill 'rgba(255,255,255,0.05)' \
    -draw "polygon 0,$((h * 62 / 100)) $w,$((h * 30 / 100)) $w,$((h * 40 / 100)) 0,$((h * 76 / 100))" \
    -fill 'rgba(255,255,255,0.04)' \
    -draw "polygon 0,$((h * 82 / 100)) $w,$((h * 52 / 100)) $w,$((h * 56 / 100)) 0,$((h * 88 / 100))" \
    -fill 'rgba(120,220,255,0.06)' \
    -draw "polygon 0,$((h * 18 / 100)) $w,0 $w,$((h * 6 / 100)) 0,$((h * 26 / 100))" \
    "$3"
}

# bevel IMAGE: a crisp one-pixel raised frame (light top and left, dark bottom and right) and a
# softer second line inside it, drawn at whole pixels after any scaling.
bevel() {
  local w h
  w=$(im "$1" -format '%w' info:)
  h=$(im "$1" -format '%h' info:)
  im "$1" \
    -fill '#8FB8F0' -draw "rectangle 0,0 $((w - 1)),0" -draw "rectangle 0,0 0,$((h - 1))" \
    -fill '#010620' -draw "rectangle 0,$((h - 1)) $((w - 1)),$((h - 1))" \
    -draw "rectangle $((w - 1)),0 $((w - 1)),$((h - 1))" \
    -fill 'rgba(160,200,255,0.35)' -draw "rectangle 1,1 $((w - 2)),1" \
    -draw "rectangle 1,1 1,$((h - 2))" \
    -fill 'rgba(0,0,20,0.45)' -draw "rectangle 1,$((h - 2)) $((w - 2)),$((h - 2))" \
    -draw "rectangle $((w - 2)),1 $((w - 2)),$((h - 2))" \
    "$1"
}

# gold_swoosh W H X0 Y0 X1 Y1 LIFT THICK OUT: a golden swoosh layer of W x H.
gold_swoosh() {
  local w=$1 h=$2
  im -size "${w}x${h}" gradient:'#FFF2A8-#E08A10' \
    \( -size "${w}x${h}" xc:black -fill white -draw "polygon $(swoosh "$w" "$h" "$3" "$4" "$5" "$6" "$7" "$8")" \) \
    -alpha off -compose CopyOpacity -composite "$9"
}

# wordmark IMAGE W SCALE Y TITLE SUBTITLE: "Velloria" in a white serif with a soft shadow and
# the subtitle in light teal capitals under it, centred.
wordmark() {
  local img=$1 s=$3 y=$4
  local p1 p2 y2
  p1=$(awk -v s="$s" 'BEGIN{printf "%.1f", 21 * s}')
  p2=$(awk -v s="$s" 'BEGIN{printf "%.1f", 8.5 * s}')
  y2=$(awk -v y="$y" -v s="$s" 'BEGIN{printf "%d", y + 25 * s}')
  im "$img" -gravity north \
    -font "$SERIF" -pointsize "$p1" -fill 'rgba(0,0,24,0.7)' -annotate "+1+$((y + 1))" "$5" \
    -fill '#FFFFFF' -annotate "+0+$y" "$5" \
    -font "$SANS" -pointsize "$p2" -kerning 1.2 -fill 'rgba(0,0,24,0.6)' -annotate "+1+$((y2 + 1))" "$6" \
    -fill '#A8F0F4' -annotate "+0+$y2" "$6" \
    "$img"
}

# to_bmp IN OUT: 24-bit BMP, no alpha, as the resource compiler and LoadImage expect.
to_bmp() {
  im "$1" -background '#071452' -alpha remove -alpha off -type TrueColor "BMP3:$2"
}

# ---------------------------------------------------------------------------------------------
# Pictures.

# side W H OUT TITLE SUBTITLE: a tall side picture: emblem above, swoosh, wordmark below.
side() {
  local w=$1 h=$2 s
  s=$(awk -v w="$w" 'BEGIN{printf "%.4f", w / 120}')
  local es ex ey
  es=$(awk -v s="$s" 'BEGIN{printf "%d", 88 * s}')
  ex=$(((w - es) / 2))
  ey=$(awk -v h="$h" -v es="$es" 'BEGIN{printf "%d", h * 0.36 - es / 2}')
  backdrop "$w" "$h" "$work/bg.png"
  emblem "$es" "$work/em.png"
  gold_swoosh "$w" "$h" "$(awk -v w="$w" 'BEGIN{print w*0.04}')" "$(awk -v h="$h" 'BEGIN{print h*0.62}')" \
    "$(awk -v w="$w" 'BEGIN{print w*1.02}')" "$(awk -v h="$h" 'BEGIN{print h*0.50}')" \
    "$(awk -v h="$h" 'BEGIN{print h*0.05}')" "$(awk -v h="$h" 'BEGIN{print h*0.045}')" "$work/sw.png"
  im "$work/bg.png" "$work/sw.png" -composite "$work/em.png" -geometry "+$ex+$ey" -composite \
    "$work/pic.png"
  wordmark "$work/pic.png" "$w" "$s" "$(awk -v h="$h" 'BEGIN{printf "%d", h*0.66}')" "$4" "$5"
  bevel "$work/pic.png"
  to_bmp "$work/pic.png" "$3"
}

# dialog W H OUT: the dialogs' picture: a glossy yellow warning disc with an exclamation mark on
# the same backdrop, a small gauge in the corner.
dialog() {
  local w=$1 h=$2 s
  s=$(awk -v w="$w" 'BEGIN{printf "%.4f", w / 79}')
  local r cx cy
  r=$(awk -v s="$s" 'BEGIN{printf "%d", 27 * s}')
  cx=$((w / 2))
  cy=$(awk -v h="$h" 'BEGIN{printf "%d", h * 0.42}')
  backdrop "$w" "$h" "$work/bg.png"
  # Disc at 4x, then scaled: shadow, gold rim, yellow face with light from the top left.
  local R=$((r * 4)) C=$((r * 4 + 24))
  local S=$((C * 2))
  im -size "${S}x${S}" -define gradient:direction=SouthEast gradient:'#FFF7C0-#B86A00' "$work/d1.png"
  disc "$work/d1.png" "$C" "$C" "$R" "$work/d1d.png"
  im -size "$((S + 60))x$((S + 60))" radial-gradient:'#FFF07A-#F0A000' -crop "${S}x${S}+10+10" +repage \
    "$work/d2.png"
  disc "$work/d2.png" "$C" "$C" "$((R * 86 / 100))" "$work/d2d.png"
  local bar_w=$((R * 12 / 100)) bar_b=$((R * 7 / 100)) top=$((C - R * 58 / 100))
  local bot=$((C + R * 14 / 100)) dot=$((C + R * 38 / 100)) dot_r=$((R * 11 / 100))
  im -size "${S}x${S}" xc:none \
    \( -size "${S}x${S}" xc:none -fill 'rgba(0,0,16,0.6)' \
       -draw "circle $((C + 10)),$((C + 12)) $((C + 10)),$((C + 12 - R))" -blur 0x8 \) -composite \
    -fill '#5A3000' -draw "circle $C,$C $C,$((C - R - 4))" \
    "$work/d1d.png" -composite "$work/d2d.png" -composite \
    -fill '#201000' \
    -draw "polygon $((C - bar_w)),$top $((C + bar_w)),$top $((C + bar_b)),$bot $((C - bar_b)),$bot" \
    -draw "circle $C,$top $C,$((top - bar_w))" \
    -draw "circle $C,$dot $C,$((dot - dot_r))" \
    \( -size "${S}x${S}" gradient:'rgba(255,255,255,0.75)-rgba(255,255,255,0)' \
       \( -size "${S}x${S}" xc:none -fill white \
          -draw "ellipse $C,$((C - R * 50 / 100)) $((R * 64 / 100)),$((R * 34 / 100)) 0,360" \) \
       -compose DstIn -composite \) -compose over -composite \
    -filter Lanczos -resize "$((S / 4))x$((S / 4))" "$work/disc.png"
  local es
  es=$(awk -v s="$s" 'BEGIN{printf "%d", 26 * s}')
  emblem "$es" "$work/em.png"
  im "$work/bg.png" "$work/disc.png" -geometry "+$((cx - S / 8))+$((cy - S / 8))" -composite \
    "$work/em.png" -geometry "+$((w - es - 3 * ${s%.*} - 2))+$((h - es - 4))" -composite "$work/pic.png"
  bevel "$work/pic.png"
  to_bmp "$work/pic.png" "$3"
}

# tile SIZE OUT MARK: a square bevelled tile with the emblem and, for the uninstaller, a red
# arrow leaving it.
tile() {
  local n=$1
  backdrop "$n" "$n" "$work/bg.png"
  local es=$((n * 80 / 100))
  emblem "$es" "$work/em.png"
  im "$work/bg.png" "$work/em.png" -geometry "+$(((n - es) / 2 - n / 14))+$(((n - es) / 2 - n / 14))" \
    -composite "$work/pic.png"
  if [ "$3" = remove ]; then
    mark_remove "$n" "$work/mk.png"
    im "$work/pic.png" "$work/mk.png" -composite "$work/pic.png"
  fi
  bevel "$work/pic.png"
  to_bmp "$work/pic.png" "$2"
}

# mark_remove SIZE OUT: a red bevelled arrow pointing out of the lower right corner.
mark_remove() {
  local n=$1 S=$(($1 * 4))
  local pts
  pts=$(awk -v S="$S" 'BEGIN{
    # An arrow along the diagonal towards the lower right: shaft, then head.
    u = S / 100
    printf "%d,%d %d,%d %d,%d %d,%d %d,%d %d,%d %d,%d",
      52*u, 64*u, 64*u, 52*u, 78*u, 66*u, 86*u, 58*u, 92*u, 92*u, 58*u, 86*u, 66*u, 78*u
  }')
  im -size "${S}x${S}" xc:none \
    \( -size "${S}x${S}" xc:none -fill 'rgba(0,0,0,0.6)' -draw "polygon $pts" -geometry +6+6 -blur 0x5 \) \
    -composite \
    \( -size "${S}x${S}" -define gradient:direction=SouthEast gradient:'#FF9A80-#A01000' \
       \( -size "${S}x${S}" xc:black -fill white -draw "polygon $pts" \) \
       -alpha off -compose CopyOpacity -composite \) -compose over -composite \
    -filter Lanczos -resize "${n}x${n}" "$2"
}

# mark_install SIZE OUT: a green bevelled arrow coming down into the lower right corner.
mark_install() {
  local n=$1 S=$(($1 * 4))
  local pts
  pts=$(awk -v S="$S" 'BEGIN{
    u = S / 100
    printf "%d,%d %d,%d %d,%d %d,%d %d,%d %d,%d %d,%d",
      64*u, 44*u, 84*u, 44*u, 84*u, 66*u, 96*u, 66*u, 74*u, 94*u, 52*u, 66*u, 64*u, 66*u
  }')
  im -size "${S}x${S}" xc:none \
    \( -size "${S}x${S}" xc:none -fill 'rgba(0,0,0,0.6)' -draw "polygon $pts" -blur 0x5 \) \
    -composite \
    \( -size "${S}x${S}" -define gradient:direction=SouthEast gradient:'#B8FFB0-#087018' \
       \( -size "${S}x${S}" xc:black -fill white -draw "polygon $pts" \) \
       -alpha off -compose CopyOpacity -composite \) -compose over -composite \
    -filter Lanczos -resize "${n}x${n}" "$2"
}

# icon OUT MARK: the program icon at 48, 32 and 16 pixels with alpha; MARK none, install or
# remove. The 16-pixel size uses the plain emblem so that it stays legible.
icon() {
  local n parts=()
  for n in 48 32 16; do
    emblem "$n" "$work/i$n.png"
    if [ "$2" != none ] && [ "$n" -ge 32 ]; then
      if [ "$2" = install ]; then mark_install "$n" "$work/m$n.png"; else mark_remove "$n" "$work/m$n.png"; fi
      im "$work/i$n.png" "$work/m$n.png" -composite "$work/i$n.png"
    fi
    parts+=("$work/i$n.png")
  done
  im "${parts[@]}" "$1"
}

# pixel XPM OUT: a hand-drawn pixel picture from src/ as a 24-bit BMP (magenta stays the
# transparency key).
pixel() {
  im "$here/src/$1" -background '#FF00FF' -alpha remove -alpha off -type TrueColor "BMP3:$2"
}

make_tickmarks
make_emblem

side 120 200 "$out/side_small.bmp" "Velloria" "OPTIMIZER"
side 153 255 "$out/side_large.bmp" "Velloria" "OPTIMIZER"
dialog 79 97 "$out/dialog_small.bmp"
dialog 97 120 "$out/dialog_large.bmp"
side 120 160 "$out/setup_small.bmp" "Velloria" "SETUP"
side 150 200 "$out/setup_large.bmp" "Velloria" "SETUP"
side 120 230 "$out/install_small.bmp" "Velloria" "INSTALLATION"
side 150 288 "$out/install_large.bmp" "Velloria" "INSTALLATION"
tile 48 "$out/uninstall_small.bmp" remove
tile 60 "$out/uninstall_large.bmp" remove
pixel tick.xpm "$out/tick.bmp"
pixel warning.xpm "$out/warning.bmp"
pixel info.xpm "$out/info.bmp"
icon "$out/optimizer.ico" none
icon "$out/install.ico" install
icon "$out/uninstall.ico" remove
echo "artwork written to $out"
