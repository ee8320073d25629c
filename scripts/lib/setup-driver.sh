# Drives KV2Setup.exe under Wine as a user would: real clicks and key presses with xdotool on the
# current X display. Source it from bash after scripts/lib/wine.sh, within a Wine session
# (kv2_session_begin --display, or scripts/test's).
#
#   kv2_setup_start MEDIA        Starts the setup with MEDIA as its current directory; sets
#                                KV2_SETUP_PID.
#   kv2_setup_dialog             Waits for the setup dialog and prints its window id.
#   kv2_setup_type_folder W DIR  Clicks into the folder box of dialog W and replaces its text.
#   kv2_setup_answer TITLE KEY   Waits for the window titled TITLE, focuses it and presses KEY.
#   kv2_setup_wait_exit          Waits for the setup to end; sets KV2_SETUP_RC to its exit code.
#   kv2_setup_install MEDIA DIR  The whole install: starts the setup in MEDIA, installs into DIR,
#                                answers OK to the completion question, waits for the preview
#                                client's window and for the setup to end with 0; sets
#                                KV2_PREVIEW to the preview's window id. Call it directly, not
#                                in $(...), which would wait for a setup that hangs.
#   kv2_preview_close W          Presses Escape in the preview window W; fails if it stays open.
#   kv2_setup_kill               Ends the setup and the preview it started, if they still run:
#                                every test that starts the setup calls it on its way out.
#   kv2_drive_c PATH             The Linux path of a Windows path on drive C:.
#   kv2_wait_for ARGS...         Waits for a visible window matching `xdotool search ARGS...`
#                                and prints its id.
#   kv2_kill_window W            Ends the process that shows window W, if it still runs.
#   kv2_driver_die MESSAGE       Says what went wrong on stderr and fails.
#
# With no window manager on Xvfb, windows are focused first (windowfocus --sync) and keys then
# go to the focused window.

KV2_DRIVER_TIMEOUT=${KV2_DRIVER_TIMEOUT:-30}

kv2_driver_die() {
  echo "setup-driver: $*" >&2
  return 1
}

kv2_setup_start() {
  local media=$1
  [[ -f $media/KV2Setup.exe ]] || kv2_driver_die "no KV2Setup.exe in $media" || return
  (cd "$media" && kv2_wine KV2Setup.exe </dev/null >/dev/null 2>&1) &
  KV2_SETUP_PID=$!
}

kv2_wait_for() {
  local w deadline=$((SECONDS + KV2_DRIVER_TIMEOUT))
  while ((SECONDS < deadline)); do
    w=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n 1) || true
    if [[ -n $w ]]; then
      echo "$w"
      return 0
    fi
    sleep 0.2
  done
  kv2_driver_die "no window matching '$*' within ${KV2_DRIVER_TIMEOUT}s"
}

kv2_setup_dialog() { kv2_wait_for --classname '^kv2setup\.exe$'; }

kv2_setup_type_folder() {
  local w=$1 folder=$2
  xdotool windowfocus --sync "$w" || return
  # The folder box lies at 80,210 - 340,230 of the dialog.
  xdotool mousemove --window "$w" 200 220 click 1 || return
  xdotool key End shift+Home BackSpace || return
  xdotool type --delay 20 "$folder"
}

kv2_setup_answer() {
  local title=$1 key=$2 w
  w=$(kv2_wait_for --name "^$title\$") || return
  xdotool windowfocus --sync "$w" && xdotool key "$key"
}

kv2_setup_wait_exit() {
  KV2_SETUP_RC=0
  wait "$KV2_SETUP_PID" || KV2_SETUP_RC=$?
}

kv2_setup_install() {
  local media=$1 folder=$2 dialog
  kv2_setup_start "$media"
  dialog=$(kv2_setup_dialog) || kv2_driver_die "the setup dialog did not show" || return
  kv2_setup_type_folder "$dialog" "$folder" || return
  xdotool key Return
  kv2_setup_answer Korvi2 Return || kv2_driver_die "no completion question" || return
  KV2_PREVIEW=$(kv2_wait_for --name '^Korvi 2 Preview$') || kv2_driver_die "the preview client did not start" || return
  kv2_setup_wait_exit
  ((KV2_SETUP_RC == 0)) || kv2_driver_die "the setup ended with $KV2_SETUP_RC"
}

kv2_preview_close() {
  local deadline=$((SECONDS + KV2_DRIVER_TIMEOUT))
  xdotool windowfocus --sync "$1" && xdotool key Escape
  while ((SECONDS < deadline)); do
    xdotool search --onlyvisible --name '^Korvi 2 Preview$' >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  kv2_driver_die "the preview did not close on Escape within ${KV2_DRIVER_TIMEOUT}s"
}

kv2_setup_kill() {
  [[ -z ${KV2_PREVIEW:-} ]] || kv2_kill_window "$KV2_PREVIEW"
  KV2_PREVIEW=
  [[ -n ${KV2_SETUP_PID:-} ]] || return 0
  pkill -P "$KV2_SETUP_PID" 2>/dev/null || true
  wait "$KV2_SETUP_PID" 2>/dev/null || true
  KV2_SETUP_PID=
}

kv2_drive_c() {
  local path=${1#[Cc]:}
  echo "$WINEPREFIX/drive_c${path//\\//}"
}

kv2_kill_window() {
  local pid i
  # Wine gives each window the process id of the program behind it.
  pid=$(xdotool getwindowpid "$1" 2>/dev/null) || return 0
  kill "$pid" 2>/dev/null || return 0
  for ((i = 0; i < 50; i++)); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}
