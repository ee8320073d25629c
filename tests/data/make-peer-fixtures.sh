#!/usr/bin/env bash
# Remakes the fixtures that real peers wrote: bitmaps by ImageMagick's convert (BMP3: with an
# information header, BMP2: with a core header), SZDD files by mscompress. The committed files
# are what this wrote; run it again only to change them.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p bmp/good bmp/bad kds/good

# 37 × 23: rows of 37 pixels are padded to 40 bytes.
rose() { convert rose: -crop 37x23+10+10 +repage "$@"; }
rose -colors 100 -type palette -compress none BMP3:bmp/good/magick-bmp3-8bit.bmp
rose -colors 100 -type palette -compress none BMP2:bmp/good/magick-bmp2-8bit.bmp
rose -type truecolor -compress none BMP3:bmp/good/magick-bmp3-24bit.bmp
rose -colors 100 -type palette BMP3:bmp/bad/magick-bmp3-rle8.bmp
rose -colors 12 -type palette -compress none BMP3:bmp/bad/magick-bmp3-4bit.bmp

rm -f bmp/good/magick-bmp3-8bit.bmp_
cp bmp/good/magick-bmp3-8bit.bmp /tmp/kv2-fixture-$$.bmp
mscompress /tmp/kv2-fixture-$$.bmp
mv /tmp/kv2-fixture-$$.bmp_ bmp/good/magick-bmp3-8bit.bmp_
rm -f /tmp/kv2-fixture-$$.bmp

# An archive of both 8-bit bitmaps, the first member at 600, the second right after it; then
# the same archive compressed as a whole.
python3 - <<'PY'
import struct
members = [("LoginBk.bmp", open("bmp/good/magick-bmp3-8bit.bmp", "rb").read()),
           ("BtnOK.bmp", open("bmp/good/magick-bmp2-8bit.bmp", "rb").read())]
header = b"DS" + bytes(6) + struct.pack("<H", len(members)) + bytes(6)
offsets, at = [], 600
for _, data in members:
    offsets.append(at)
    at += len(data)
directory = b"".join(name.encode().ljust(16, b"\0") + struct.pack("<I", off)
                     for (name, _), off in zip(members, offsets))
body = (header + directory).ljust(600, b"\0") + b"".join(data for _, data in members)
open("kds/good/roses.kds", "wb").write(body)
PY
rm -f kds/good/roses.kds_
mscompress kds/good/roses.kds
mv kds/good/roses.kds_ kds/good/roses-mscompress.kds

# The ImageMagick bitmap cut short in its pixels: a damaged bitmap resource.
head -c 1100 bmp/good/magick-bmp3-8bit.bmp > bmp/bad/magick-bmp3-8bit-cut-at-1100.bmp
