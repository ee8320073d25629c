#!/usr/bin/env bash
# kdstool against real peers: bitmaps that ImageMagick writes, SZDD streams that mscompress
# writes and msexpand reads. Packs, lists, extracts and verifies an archive, plain and
# compressed, and checks every refusal leaves no archive behind.
#   kdstool-test.sh KDSTOOL [EMULATOR...]
set -euo pipefail
tool=$1
shift
emulator=("$@")

failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
kds() { "${emulator[@]+"${emulator[@]}"}" "$tool" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
refuses() {  # refuses ARCHIVE-THAT-MUST-NOT-CHANGE KDSTOOL-ARGS...
  local archive=$1 before=none
  shift
  [ -e "$archive" ] && before=$(md5sum < "$archive")
  if kds "$@" 2> refusal.txt; then return 1; fi
  grep -q "kdstool: " refusal.txt || return 1
  local after=none
  [ -e "$archive" ] && after=$(md5sum < "$archive")
  [ "$before" = "$after" ] && ! ls ./*.kdstool-partial > /dev/null 2>&1
}
quietly() { kds "$@" > /dev/null; }
fails() { ! kds "$@" > /dev/null 2>&1; }

work=kdstool-work
rm -rf "$work"
mkdir "$work"
cd "$work"

# Real bitmaps: information headers (BMP3:) and core headers (BMP2:), rows padded and not.
convert rose: -crop 37x23+10+10 +repage -colors 100 -type palette -compress none BMP3:LoginBk.bmp
convert rose: -crop 20x31+5+3 +repage -colors 200 -type palette -compress none BMP2:BtnOK.bmp
convert rose: -resize 64x40! -colors 250 -type palette -compress none BMP3:BtnNo.bmp
convert rose: -crop 11x9+0+0 +repage -type truecolor -compress none BMP3:Deep.bmp
members=(LoginBk.bmp BtnOK.bmp BtnNo.bmp)

check "pack" kds pack skin.kds "${members[@]}"
kds list skin.kds > list.txt
check "list names every member with its shape" \
  awk 'NR==1 && $1=="LoginBk.bmp" && $2==76 && $4=="37x23x8" {a=1}
       NR==2 && $1=="BtnOK.bmp" && $4=="20x31x8" {b=1}
       NR==3 && $1=="BtnNo.bmp" && $4=="64x40x8" {c=1}
       END {exit !(a && b && c && NR==3)}' list.txt
check "list gives each member's size" \
  awk -v s1="$(stat -c %s LoginBk.bmp)" 'NR==1 {exit !($3==s1)}' list.txt
check "verify" quietly verify skin.kds
check "extract all" kds extract skin.kds -C out
for m in "${members[@]}"; do check "extracted $m is the packed file" cmp "out/$m" "$m"; done
check "extract one, named in any case" kds extract skin.kds btnok.bmp -C one
check "only that one" test "$(ls one)" = BtnOK.bmp

check "pack --compress" kds pack --compress skinz.kds "${members[@]}"
check "the compressed archive starts SZDD" test "$(head -c 4 skinz.kds)" = SZDD
check "msexpand gives the plain archive byte for byte" cmp <(msexpand < skinz.kds) skin.kds
check "the compressed archive lists alike" cmp <(kds list skinz.kds) list.txt
check "the compressed archive verifies" quietly verify skinz.kds
check "extract from the compressed archive" kds extract skinz.kds -C outz
for m in "${members[@]}"; do check "extracted $m from it" cmp "outz/$m" "$m"; done
cp skin.kds peer.kds
mscompress peer.kds
mv peer.kds_ peer.kds
check "an archive mscompress compressed lists alike" cmp <(kds list peer.kds) list.txt
check "and verifies" quietly verify peer.kds

check "compress a bitmap" kds compress BtnNo.bmp BtnNo.bm_
check "msexpand agrees" cmp <(msexpand < BtnNo.bm_) BtnNo.bmp
# Data that does not compress (kept in the work folder, should it ever fail), and data that
# compresses well.
head -c 200000 /dev/urandom > noise.bin
for _ in $(seq 10000); do echo "skin authors compress archives"; done > text.bin
for f in noise.bin text.bin; do
  check "compress $f" kds compress "$f" "$f.sz"
  check "msexpand agrees on $f" cmp <(msexpand < "$f.sz") "$f"
done
check "compressing text pays" test "$(stat -c %s text.bin.sz)" -lt 60000
cp LoginBk.bmp peer.bmp
mscompress peer.bmp
check "expand what mscompress wrote" kds expand peer.bmp_ peer.out
check "to the same bytes" cmp peer.out LoginBk.bmp
check "expand refuses a plain file" refuses plain.out expand LoginBk.bmp plain.out
check "and writes nothing" test ! -e plain.out

cp LoginBk.bmp ThisNameIsLonger.bmp
echo "not a bitmap" > notes.txt
check "refuses a member name of 16 characters" refuses skin.kds pack skin.kds LoginBk.bmp ThisNameIsLonger.bmp
check "refuses a file that is not a bitmap" refuses skin.kds pack skin.kds notes.txt
check "refuses a compressed bitmap as a member" refuses new.kds pack new.kds BtnNo.bm_
check "leaves no new archive behind" test ! -e new.kds
check "refuses two members of one name" refuses new2.kds pack new2.kds BtnOK.bmp out/BtnOK.bmp
check "refuses to list what is no archive" refuses none list LoginBk.bmp

check "pack a 24-bit bitmap" kds pack deep.kds LoginBk.bmp Deep.bmp
check "verify fails" fails verify deep.kds
check "verify names the member" grep -q "Deep.bmp.*24 bits" <(kds verify deep.kds || true)

# A damaged archive: each member that fails is named with its reason, the others pass.
head -c -100 skin.kds > cut.kds
check "verify names a cut member and why" \
  cmp <(kds verify cut.kds || true) <(printf '%-15s ok\n%-15s ok\n%-15s FAILED: pixels past the end of the file\n' "${members[@]}")
check "list gives the reason in place of its shape" grep -q "^BtnNo.bmp .*(pixels past the end of the file)$" <(kds list cut.kds)

echo "$failures failed"
[ "$failures" -eq 0 ]
