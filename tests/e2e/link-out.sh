#!/usr/bin/env bash
# A link leads no copy out of the install folder; outside, nothing changes. What is linked:
#   below   a symbolic link "link" in the folder points outside it, and the list names
#           link\planted.txt (a file there) and link\new.txt. Both copies fail as a line leaving
#           the folder does; the other files install. KV2.EXE is there already as a symbolic link
#           to the outside file, README.TXT as a hard link to a file beside the folder: each is
#           replaced by the copy, and what it led to stays as it was.
#   folder  the folder itself is a symbolic link to the outside folder, which holds a KV2.EXE of
#           its own: every line fails.
#   race    the folder's subfolder "sub", which 1000 lines name, is swapped for a link to the
#           outside folder and back in a loop while the setup copies (half of the names are
#           there outside): each copy lands in the folder or fails.
#   link-out.sh MEDIA [below|folder|race]    (on an X display, as ctest runs it within scripts/test)
set -euo pipefail

root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
source "$root/scripts/lib/wine.sh"
source "$root/scripts/lib/setup-driver.sh"
kv2_wine_prefix

mode=${2:-below}

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The names, sizes, times and contents of the outside folder's files.
outside() { (cd "$work/outside" && stat -c '%n %s %Y' -- * && md5sum -- *); }

work=$(mktemp -d)
folder="C:\\kv2-link-$$-$RANDOM"
installed=$(kv2_drive_c "$folder")
swapper=
trap '[[ -z $swapper ]] || kill "$swapper"; kv2_setup_kill; rm -rf "$work" "$installed" "$installed.hard"' EXIT

cp -r "$1" "$work/media"
mkdir "$work/media/link" "$work/outside"
echo planted >"$work/media/link/planted.txt"
echo planted >"$work/media/link/new.txt"
printf 'link\\planted.txt\r\nlink\\new.txt\r\n' >>"$work/media/KV2Setup.inf"
echo original >"$work/outside/planted.txt"
case $mode in
  below)
    mkdir "$installed"
    ln -s "$work/outside" "$installed/link"
    ln -s "$work/outside/planted.txt" "$installed/KV2.EXE"
    echo original >"$installed.hard"
    ln "$installed.hard" "$installed/README.TXT"
    ;;
  folder)
    echo original >"$work/outside/KV2.EXE"
    ln -s "$work/outside" "$installed"
    ;;
  race)
    mkdir -p "$installed/sub" "$work/media/sub"
    for ((i = 0; i < 1000; i++)); do
      head -c 4096 /dev/urandom >"$work/media/sub/f$i.dat"
      printf 'sub\\f%d.dat\r\n' "$i" >>"$work/media/KV2Setup.inf"
      ((i % 2)) || echo original >"$work/outside/f$i.dat"
    done
    ;;
  *) fail "unknown mode $mode" ;;
esac
before=$(outside)

# Each message box of the setup is captioned Korvi2: answer them in turn, each a new window.
last=
answer() {
  local w deadline=$((SECONDS + KV2_DRIVER_TIMEOUT))
  while ((SECONDS < deadline)); do
    w=$(xdotool search --onlyvisible --name '^Korvi2$' 2>/dev/null | grep -vx "${last:-none}" | head -n 1) || true
    if [[ -n $w ]]; then
      last=$w
      xdotool windowfocus --sync "$w" && xdotool key "$1"
      return
    fi
    sleep 0.2
  done
  fail "no message box for $2"
}

# swap: the real subfolder and a link to the outside folder take turns in its place, until the
# file "stop" appears; each turn ends with the real one back.
swap() {
  while [[ ! -e $work/stop ]]; do
    mv -T "$installed/sub" "$installed/sub.real" && ln -s "$work/outside" "$installed/sub" &&
      rm "$installed/sub" && mv -T "$installed/sub.real" "$installed/sub"
  done
}

kv2_setup_start "$work/media"
dialog=$(kv2_setup_dialog) || fail "the setup dialog did not show"
kv2_setup_type_folder "$dialog" "$folder"
if [[ $mode == race ]]; then
  swap 2>/dev/null &
  swapper=$!
fi
xdotool key Return
answer Return "the folder that exists"
answer Return "the copies that failed"
if [[ $mode == race ]]; then
  touch "$work/stop"
  wait "$swapper" || fail "the swaps failed"
  swapper=
fi
answer Escape "the completion question"
kv2_setup_wait_exit
((KV2_SETUP_RC == 0)) || fail "the setup ended with $KV2_SETUP_RC"

[[ $(outside) == "$before" ]] || fail "the folder outside changed: $(diff <(echo "$before") <(outside))"
case $mode in
  below)
    [[ $(cat "$installed.hard") == original ]] || fail "the copy went through the hard link"
    for f in KV2.EXE README.TXT LOGIN.INI; do
      [[ ! -L $installed/$f ]] && cmp "$work/media/$f" "$installed/$f" || fail "$f was not installed"
    done
    ;;
  race)
    for f in "$installed"/sub/*; do
      cmp -s "$f" "$work/media/sub/${f##*/}" || fail "${f##*/} in the folder is not the listed file"
    done
    ;;
esac
echo "nothing written through the link"
