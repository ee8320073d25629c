#!/usr/bin/env bash
# Draws the preview client's pictures, packs them into the image archive K2Scene.kds and writes
# the scene file K2Scene.dat from scene.txt beside this script:
#   Meadow.bmp  the background, 480 x 300
#   Korvi.bmp   the mascot, four 64 x 64 cells: eyes half shut, open, half shut, shut
#   Bird.bmp    four 40 x 28 cells of a wing beat
#   Star.bmp    two 32 x 32 cells: a star and a heart
#   Tree.bmp    a tree, 72 x 96
# Every sprite picture has magenta at its top-left corner: its transparent colour. All pictures
# share one colour table, so they draw exactly in the palette made from the background.
#
#   tools/scene/make-scene.sh KDSTOOL KV2SCENE OUTPUT-FOLDER
#
# Needs ImageMagick and fonts-nanum (scripts/bootstrap). What it made is kept in demo/media, so
# a build needs neither.
set -euo pipefail
here=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")" && pwd)
kdstool=$(readlink -f "$1")
kv2scene=$(readlink -f "$2")
output=$(readlink -f "$3")

source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../lib/art.sh"
kv2_art_fonts make-scene
kv2_art_workdir scene
key='#ff00ff'

# Sharp edges against the key: alpha is cut at one half, then the key fills what is clear.
keyed() { convert "$1" -channel A -threshold 50% +channel -background "$key" -alpha remove -alpha off "$2"; }

# ---- background: sky, sun, two hills and a path
convert -size 480x300 gradient:'#7cc0ec-#e4f4fb' \
  -fill '#fff6c8' -draw "circle 410,52 440,52" -fill '#ffffff66' -draw "circle 410,52 452,52" \
  -fill '#ffffffcc' -draw "ellipse 110,60 46,14 0,360" -draw "ellipse 140,52 30,14 0,360" \
  -draw "ellipse 300,92 38,10 0,360" \
  -fill '#8fcf6a' -draw "ellipse 120,300 260,110 180,360" \
  -fill '#6db54f' -draw "ellipse 400,310 230,120 180,360" \
  -fill '#e9d9a6' -draw "polygon 230,300 250,225 262,225 300,300" \
  -fill '#1f4f78' -font "$title_font" -pointsize 24 -annotate +16+34 'Korvi 2' \
  -fill '#2f5f86' -font "$text_font" -pointsize 12 -annotate +16+288 'Click a friend for its bubble, drag it anywhere. Esc closes.' \
  -alpha off bg.png

# ---- the mascot: a round blue friend whose eyes open, blink and open again
korvi_cell() {  # korvi_cell OUT EYE-HEIGHT
  local out=$1 eye=$2
  convert -size 64x64 xc:none \
    -fill '#2b6fa8' -draw "ellipse 32,36 27,25 0,360" \
    -fill '#4d95cf' -draw "ellipse 28,30 19,16 0,360" \
    -fill '#ffffff' -draw "ellipse 23,31 7,$eye 0,360" -draw "ellipse 41,31 7,$eye 0,360" \
    -fill '#10243a' -draw "ellipse 24,32 3,$(((eye + 1) / 2)) 0,360" -draw "ellipse 42,32 3,$(((eye + 1) / 2)) 0,360" \
    -fill '#f08a8a' -draw "ellipse 15,43 4,2 0,360" -draw "ellipse 49,43 4,2 0,360" \
    -fill none -stroke '#10243a' -strokewidth 2 -draw "arc 26,40 38,50 20,160" \
    png32:"$out"
}
korvi_cell k0.png 4
korvi_cell k1.png 8
korvi_cell k2.png 4
korvi_cell k3.png 1
convert k0.png k1.png k2.png k3.png +append korvi.png

# ---- the bird: a wing beat, up, level, down, level
bird_cell() {  # bird_cell OUT WING-TIP-Y
  local out=$1 tip=$2
  convert -size 40x28 xc:none \
    -fill '#e8643c' -draw "ellipse 20,16 11,7 0,360" \
    -fill '#f3a23a' -draw "polygon 30,14 38,16 30,18" \
    -fill '#ffffff' -draw "circle 26,13 28,13" -fill '#222222' -draw "circle 26.5,13 27.5,13" \
    -fill '#c24a2a' -draw "polygon 12,16 22,16 16,$tip" \
    png32:"$out"
}
bird_cell b0.png 2
bird_cell b1.png 14
bird_cell b2.png 26
bird_cell b3.png 14
convert b0.png b1.png b2.png b3.png +append bird.png

# ---- the star and the heart that fade in and out
convert -size 32x32 xc:none -fill '#ffd23a' -stroke '#e0a010' -strokewidth 1 \
  -draw "polygon 16,2 20,12 30,12 22,19 25,29 16,23 7,29 10,19 2,12 12,12" png32:s0.png
convert -size 32x32 xc:none -fill '#ff5c8a' -stroke '#d03a66' -strokewidth 1 \
  -draw "circle 11,12 11,5" -draw "circle 21,12 21,5" -draw "polygon 4,14 28,14 16,28" png32:s1.png
convert s0.png s1.png +append star.png

# ---- a tree
convert -size 72x96 xc:none \
  -fill '#8a5a34' -draw "rectangle 31,56 41,94" \
  -fill '#3f8f3a' -draw "circle 36,34 36,6" -fill '#57a84a' -draw "circle 26,44 26,24" -draw "circle 48,42 48,22" \
  -fill '#7cc466' -draw "circle 30,26 30,16" \
  png32:tree.png

for f in korvi bird star tree; do keyed $f.png $f-keyed.png; done

# ---- one colour table for all: quantised together as one sheet, then cut apart
convert bg.png \( korvi-keyed.png bird-keyed.png star-keyed.png tree-keyed.png -background "$key" +append \) \
  -background "$key" -append -dither None -colors 256 -type Palette -compress none BMP3:sheet.bmp
cut() { convert sheet.bmp -crop "$1" +repage -compress none BMP3:"$2"; }
cut 480x300+0+0 Meadow.bmp
cut 256x64+0+300 Korvi.bmp
cut 160x28+256+300 Bird.bmp
cut 64x32+416+300 Star.bmp
cut 72x96+480+300 Tree.bmp

kv2_art_check make-scene Meadow.bmp Korvi.bmp Bird.bmp Star.bmp Tree.bmp
mkdir -p "$output"
rm -f "$output/K2Scene.kds" "$output/K2Scene.dat"
"$kdstool" pack "$output/K2Scene.kds" Meadow.bmp Korvi.bmp Bird.bmp Star.bmp Tree.bmp
"$kv2scene" "$here/scene.txt" "$output/K2Scene.dat"
