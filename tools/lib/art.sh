# Shell functions shared by the scripts that draw the demo's pictures (tools/skin, tools/scene).
# Source it, then call them; each fails the script with a message naming it.

# kv2_art_fonts SCRIPT: sets title_font and text_font to the NanumSquareRound faces.
kv2_art_fonts() {
  local fonts=/usr/share/fonts/truetype/nanum f
  title_font=$fonts/NanumSquareRoundEB.ttf
  [[ -f $title_font ]] || title_font=$fonts/NanumSquareRoundB.ttf
  text_font=$fonts/NanumSquareRoundB.ttf
  for f in "$title_font" "$text_font"; do
    [[ -f $f ]] || { echo "$1: $f is missing; run scripts/bootstrap" >&2; exit 1; }
  done
}

# kv2_art_workdir NAME: enters a scratch folder that goes when the script ends.
kv2_art_workdir() {
  work=$(mktemp -d -t "kv2-$1.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  cd "$work"
}

# kv2_art_check SCRIPT FIRST.bmp OTHER.bmp...: every picture is 8-bit with a colour table, and
# all share the first one's table.
kv2_art_check() {
  local script=$1 first=$2 f
  shift
  for f in "$@"; do
    [[ $(identify -format '%[bit-depth] %r' "$f") == "8 PseudoClass"* ]] ||
      { echo "$script: $f is not an 8-bit picture with a colour table" >&2; exit 1; }
    # 14-byte file header, 40-byte information header, then the 256 colours.
    cmp -s -i 54:54 -n 1024 "$f" "$first" ||
      { echo "$script: $f does not share the colour table of $first" >&2; exit 1; }
  done
}
