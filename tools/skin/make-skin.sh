#!/usr/bin/env bash
# Draws the setup dialog's skin and packs it into the image archive K2Login.kds:
#   LoginBk.bmp  the dialog's face, 420 x 272
#   BtnOK.bmp    the OK button, BtnNo.bmp the Cancel button: 56 x 24 cells, three rows stacked
#                (normal, pressed, focused)
# All three are 8-bit with one shared colour table, so the buttons draw exactly in the palette
# made from the background.
#
#   tools/skin/make-skin.sh KDSTOOL OUTPUT.kds [--compress]
#
# Needs ImageMagick and fonts-nanum (scripts/bootstrap). The archive it made is kept in
# demo/media, so a build needs neither.
set -euo pipefail
kdstool=$(readlink -f "$1")
output=$(readlink -f "$2")
pack=(pack)
[[ ${3:-} == --compress ]] && pack+=(--compress)

source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../lib/art.sh"
kv2_art_fonts make-skin
kv2_art_workdir skin

# Fixed geometry of the dialog: the panel holds the label (65,190)-(390,210), the folder box
# (80,210)-(340,230), the progress bar (80,235) 260 x 10 and the buttons at (17,238), (349,238).
width=420
height=272
panel_top=176
cell_w=56
cell_h=24

# ---- background: a calm evening gradient, the name, and a light panel under the controls
convert -size ${width}x${height} gradient:'#2b5f8e-#7fb7c9' \
  -fill '#ffffff1c' -draw "circle 360,40 440,40" -draw "circle 40,150 92,150" \
  -fill '#ffffff' -font "$title_font" -pointsize 44 -annotate +32+80 'Korvi 2' \
  -fill '#dbeef5' -font "$text_font" -pointsize 20 -annotate +198+80 'Setup' \
  -fill '#eaf4f8' -font "$text_font" -pointsize 14 -annotate +35+112 'Talk with everyone you like, anywhere.' \
  -fill '#f4f8fa' -stroke '#c5d9e3' -strokewidth 1 \
  -draw "roundrectangle 8,$panel_top $((width - 9)),$((height - 5)) 10,10" \
  -alpha off bg.png

# ---- buttons: a rounded face on the panel's colour; pressed darker and one pixel lower,
# focused with a ring
button_row() {  # button_row OUT TEXT FACE EDGE TEXTCOLOUR SHIFT RING
  local out=$1 text=$2 face=$3 edge=$4 ink=$5 shift=$6 ring=$7
  local r=$((cell_w - 2)) b=$((cell_h - 2))
  convert -size ${cell_w}x${cell_h} xc:'#f4f8fa' \
    -fill "$edge" -draw "roundrectangle 1,$((1 + shift)) $r,$b 7,7" \
    -fill "$face" -draw "roundrectangle 2,$((2 + shift)) $((r - 1)),$((b - 1)) 6,6" \
    -fill "$ink" -font "$text_font" -pointsize 12 -gravity center -annotate +0+$((shift)) "$text" \
    "$out"
  if [[ $ring == yes ]]; then
    convert "$out" -fill none -stroke '#f0a030' -strokewidth 2 \
      -draw "roundrectangle 1,1 $((cell_w - 2)),$((cell_h - 2)) 8,8" "$out"
  fi
}
# OK: the main action, filled; Cancel: quiet, outlined.
button_row ok0.png OK '#3a7fb0' '#24577e' '#ffffff' 0 no
button_row ok1.png OK '#24577e' '#163a56' '#dbeef5' 1 no
button_row ok2.png OK '#4a90c2' '#24577e' '#ffffff' 0 yes
button_row no0.png Cancel '#e4edf2' '#9fb6c4' '#2b4a60' 0 no
button_row no1.png Cancel '#c9d8e1' '#7f98a8' '#1c3446' 1 no
button_row no2.png Cancel '#edf3f7' '#9fb6c4' '#2b4a60' 0 yes
convert ok0.png ok1.png ok2.png -append ok.png
convert no0.png no1.png no2.png -append no.png

# ---- one colour table for all three: quantised together as one sheet, then cut apart (a cut
# keeps the sheet's colour table whole)
convert bg.png \( ok.png no.png +append \) -background '#f4f8fa' -append \
  -dither None -colors 256 -type Palette -compress none BMP3:sheet.bmp
cut() { convert sheet.bmp -crop "$1" +repage -compress none BMP3:"$2"; }
cut ${width}x${height}+0+0 LoginBk.bmp
cut ${cell_w}x$((3 * cell_h))+0+$height BtnOK.bmp
cut ${cell_w}x$((3 * cell_h))+$cell_w+$height BtnNo.bmp

kv2_art_check make-skin LoginBk.bmp BtnOK.bmp BtnNo.bmp
rm -f "$output"
"$kdstool" "${pack[@]}" "$output" LoginBk.bmp BtnOK.bmp BtnNo.bmp
