#!/usr/bin/env bash
# The setup, elevated as every program started from Linux is under Wine, starts the client as
# the user who started it: KV2.EXE in the media is a probe that reports its token's elevation
# type, its current directory and its command line. After the install and OK it must report a
# limited token, the install folder and its own path.
#   client-token.sh MEDIA PROBE.exe     (on an X display, as ctest runs it within scripts/test)
set -euo pipefail

root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
source "$root/scripts/lib/wine.sh"
source "$root/scripts/lib/setup-driver.sh"
kv2_wine_prefix

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

work=$(mktemp -d)
folder="C:\\kv2-token-$$-$RANDOM"
installed=$(kv2_drive_c "$folder")
trap 'kv2_setup_kill; rm -rf "$work" "$installed"' EXIT

cp -r "$1" "$work/media"
cp "$2" "$work/media/KV2.EXE"

kv2_setup_start "$work/media"
dialog=$(kv2_setup_dialog) || fail "the setup dialog did not show"
kv2_setup_type_folder "$dialog" "$folder"
xdotool key Return
kv2_setup_answer Korvi2 Return || fail "no completion question"
kv2_setup_wait_exit
((KV2_SETUP_RC == 0)) || fail "the setup ended with $KV2_SETUP_RC"

# The setup waits for a client's first window, which the probe never shows.
report=$installed/token-probe.txt
for _ in $(seq 50); do
  [[ -s $report ]] && break
  sleep 0.2
done
[[ -s $report ]] || fail "the probe did not report"
mapfile -t seen < <(tr -d '\r' <"$report")
echo "the client reported: elevation type ${seen[0]}, directory ${seen[1]}, command line ${seen[2]}"
((seen[0] == 3)) || fail "the client runs with elevation type ${seen[0]}, not 3 (limited)"
[[ ${seen[1]} == "$folder" ]] || fail "the client runs in ${seen[1]}, not in $folder"
# Windows passes the path as it was given; Wine quotes it.
[[ ${seen[2]} == "$folder\\KV2.EXE" || ${seen[2]} == "\"$folder\\KV2.EXE\"" ]] ||
  fail "the client's command line is ${seen[2]}"
