#!/usr/bin/env bash
# A link inside an existing install folder leads nowhere: a symbolic link "link" in the folder
# points outside it, and the list names link\planted.txt (a file there) and link\new.txt. Both
# copies fail as a line leaving the folder does; outside, nothing changes.
#   link-out.sh MEDIA     (on an X display, as ctest runs it within scripts/test)
set -euo pipefail

root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
source "$root/scripts/lib/wine.sh"
source "$root/scripts/lib/setup-driver.sh"
kv2_wine_prefix

fail() {
  echo "FAILED: $*" >&2
  [[ -d ${work:-} ]] && echo "outside the folder: $(cd "$work/outside" && grep -H . -- *)" >&2
  exit 1
}

work=$(mktemp -d)
folder="C:\\kv2-link-$$-$RANDOM"
installed=$(kv2_drive_c "$folder")
trap 'kv2_setup_kill; rm -rf "$work" "$installed"' EXIT

cp -r "$1" "$work/media"
mkdir "$work/media/link" "$work/outside" "$installed"
echo planted >"$work/media/link/planted.txt"
echo planted >"$work/media/link/new.txt"
printf 'link\\planted.txt\r\nlink\\new.txt\r\n' >>"$work/media/KV2Setup.inf"
echo original >"$work/outside/planted.txt"
ln -s "$work/outside" "$installed/link"

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

kv2_setup_start "$work/media"
dialog=$(kv2_setup_dialog) || fail "the setup dialog did not show"
kv2_setup_type_folder "$dialog" "$folder"
xdotool key Return
answer Return "the folder that exists"
answer Return "the copies that failed"
answer Escape "the completion question"
kv2_setup_wait_exit
((KV2_SETUP_RC == 0)) || fail "the setup ended with $KV2_SETUP_RC"

[[ $(ls "$work/outside") == planted.txt && $(cat "$work/outside/planted.txt") == original ]] ||
  fail "the folder outside changed: $(ls "$work/outside")"
cmp "$work/media/KV2.EXE" "$installed/KV2.EXE" || fail "the other files were not installed"
echo "nothing written through the link"
