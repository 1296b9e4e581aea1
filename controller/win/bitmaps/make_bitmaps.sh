#!/usr/bin/env bash
# make_bitmaps.sh <convert> <font file> <output dir>: draws the station indicators, the
# banner and the application icon with ImageMagick. The captions are Chinese, so they are
# rendered from a real CJK font at build time instead of being kept as binaries.
set -euo pipefail
convert=$1 font=$2 out=$3
mkdir -p "$out"

# caption <file> <width>x<height> <background> <ink> <points> <text> [colours] [extra...]
# colours is "true" (24-bit) or "16" (4-bit palette).
caption() {
  local file=$1 size=$2 back=$3 ink=$4 points=$5 text=$6 colours=${7:-true}
  shift $(($# < 7 ? $# : 7))
  local depth=(-type TrueColor)
  [ "$colours" = 16 ] && depth=(+antialias -colors 16 -type Palette)
  "$convert" -size "$size" "xc:$back" "$@" -font "$font" -pointsize "$points" -fill "$ink" \
    -gravity center -annotate +0+0 "$text" "${depth[@]}" "BMP3:$out/$file"
}

# Light dots every fourth pixel over the grey of a disabled station.
dots=()
for y in $(seq 1 4 63); do
  for x in $(seq 1 4 127); do dots+=("point $x,$y"); done
done

caption fail.bmp 128x64 '#ED1C24' black 26 '不合格'
caption test_pass.bmp 128x64 '#FFF200' black 26 'QEL通过'
caption testing.bmp 128x64 '#FFC90E' white 26 '测试中'
caption pass.bmp 128x64 '#22B14C' white 26 '合格'
caption abnormal.bmp 128x64 '#3F48CC' white 26 '不对劲'
caption ready.bmp 128x64 '#008080' white 26 'OK' 16
caption disabled.bmp 128x64 '#808080' white 26 '停用' 16 -fill '#C0C0C0' -draw "${dots[*]}"
caption banner.bmp 1280x128 '#C3C3C3' '#008080' 64 'QEL测试仪' true -kerning 24

# The application icon: a white Q on teal, in the two sizes a window uses.
"$convert" \( -size 32x32 xc:'#008080' -font "$font" -pointsize 28 -fill white -gravity center \
  -annotate +0+0 Q \) \( -size 16x16 xc:'#008080' -font "$font" -pointsize 15 -fill white \
  -gravity center -annotate +0+0 Q \) "ICO:$out/qel.ico"
