#!/usr/bin/env bash
# One measurement of a Windows program under Wine, for kv2_bench's Wine rows; prints
# "MILLISECONDS PEAK-BYTES" (cp -r: milliseconds alone). Run within a Wine session on an X
# display (scripts/bench sets one up). The programs write their milestones to $KV2_TIMING.
#
#   measure.sh startup FOLDER EXE                    process start to the dialog's first paint
#   measure.sh install-setup BUILD FILES BYTES       the setup installing FILES files of BYTES
#   measure.sh install-peer BUILD FILES BYTES        the minimal program doing the per-file work
#   measure.sh install-cp BUILD FILES BYTES          cp -r of the same media on the same disk
#
# BUILD is the Windows build tree; the media, laid out once per payload, and the destinations
# lie in the prefix's drive C:.
set -euo pipefail

root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
source "$root/scripts/lib/wine.sh"
source "$root/scripts/lib/setup-driver.sh"
kv2_wine_prefix

bench=$WINEPREFIX/drive_c/kv2-bench
timing=$(mktemp -t kv2-timing.XXXXXX)
export KV2_TIMING="Z:${timing//\//\\}"
trap 'rm -f "$timing"' EXIT

now_us() { echo "${EPOCHREALTIME/./}"; }

# mark NAME: "MICROSECONDS PEAK-BYTES" of the first milestone of that name.
mark() { awk -v n="$1" '$1 == n { print $2, $3; exit }' "$timing"; }

wait_for_mark() {
  local deadline=$((SECONDS + KV2_DRIVER_TIMEOUT))
  until [[ -n $(mark "$1") ]]; do
    ((SECONDS < deadline)) || kv2_driver_die "no milestone '$1' within ${KV2_DRIVER_TIMEOUT}s" || return
    sleep 0.01
  done
}

# The milliseconds between two milestones, and the peak at the second.
between() {
  local begin end
  read -r begin _ <<<"$(mark "$1")"
  read -r end peak <<<"$(mark "$2")"
  awk -v b="$begin" -v e="$end" -v p="$peak" 'BEGIN { printf "%.3f %s\n", (e - b) / 1000, p }'
}

# window_of EXE: the visible window of the program, by its class (Wine names it after the .exe).
window_of() {
  local class=${1,,}
  kv2_wait_for --classname "^${class//./\\.}\$"
}

startup() {
  local folder=$1 exe=$2 start pid
  start=$(now_us)
  (cd "$folder" && kv2_wine "$exe" </dev/null >/dev/null 2>&1) &
  pid=$!
  wait_for_mark skin-drawn
  read -r drawn peak <<<"$(mark skin-drawn)"
  # Cancel ends either dialog.
  xdotool windowfocus --sync "$(window_of "$exe")" key Escape
  wait "$pid" || true
  awk -v b="$start" -v e="$drawn" -v p="$peak" 'BEGIN { printf "%.3f %s\n", (e - b) / 1000, p }'
}

# media BUILD FILES BYTES: prints the media folder of that payload, laid out the first time.
media() {
  local build=$1 files=$2 bytes=$3
  local dir=$bench/media-${files}x$bytes
  if [[ ! -f $dir/.complete ]]; then
    rm -rf "$dir"
    mkdir -p "$dir"
    local i name
    for ((i = 0; i < files; i++)); do
      printf -v name 'F%04d.DAT' "$i"
      head -c "$bytes" /dev/urandom >"$dir/$name"
      printf '%s\r\n' "$name" >>"$dir/KV2Setup.inf"
    done
    touch "$dir/.complete"
  fi
  # The programs of this build, whichever was built last.
  cp "$build/demo-media/KV2Setup.exe" "$build/demo-media/K2Login.kds" "$build/bench/peers/kv2_peer_install.exe" "$dir/"
  echo "$dir"
}

destination() {
  rm -rf "$bench/out"
  echo 'C:\kv2-bench\out\'
}

install_setup() {
  local dir
  dir=$(media "$@")
  local folder
  folder=$(destination)
  kv2_setup_start "$dir"
  local dialog
  dialog=$(kv2_setup_dialog)
  kv2_setup_type_folder "$dialog" "$folder"
  xdotool key Return
  # Cancel: no preview client to start.
  kv2_setup_answer Korvi2 Escape
  kv2_setup_wait_exit
  between install-begin install-end
  rm -rf "$bench/out"
}

install_peer() {
  local dir folder
  dir=$(media "$@")
  folder=$(destination)
  (cd "$dir" && kv2_wine kv2_peer_install.exe "$folder" </dev/null >/dev/null 2>&1)
  between install-begin install-end
  rm -rf "$bench/out"
}

install_cp() {
  local dir start end
  dir=$(media "$@")
  destination >/dev/null
  start=$(now_us)
  cp -r "$dir" "$bench/out"
  end=$(now_us)
  awk -v b="$start" -v e="$end" 'BEGIN { printf "%.3f\n", (e - b) / 1000 }'
  rm -rf "$bench/out"
}

case ${1:-} in
  startup) startup "$2" "$3" ;;
  install-setup) install_setup "$2" "$3" "$4" ;;
  install-peer) install_peer "$2" "$3" "$4" ;;
  install-cp) install_cp "$2" "$3" "$4" ;;
  *) sed -n '2,13p' "${BASH_SOURCE[0]}" >&2; exit 2 ;;
esac
