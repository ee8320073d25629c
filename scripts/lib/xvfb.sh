# A virtual X display. Source it from bash.
#
#   kv2_xvfb_start [DEPTH]
#                       Starts Xvfb (1024x768, DEPTH bits, default 24) on a free display number
#                       and exports DISPLAY. DEPTH 8 gives a palette display. Xvfb is a job of
#                       the calling shell: a bare `wait` would wait for it too.
#   kv2_xvfb_stop       Stops the Xvfb that kv2_xvfb_start started here.

kv2_xvfb_start() {
  local depth=${1:-24}
  if ! command -v Xvfb >/dev/null; then
    echo "xvfb.sh: Xvfb is not installed; run scripts/bootstrap" >&2
    return 1
  fi
  local numfile
  numfile=$(mktemp) || return
  # -displayfd: Xvfb takes a free display number itself and writes it once it accepts clients.
  Xvfb -displayfd 3 -screen 0 "1024x768x$depth" -nolisten tcp -noreset \
    3>"$numfile" </dev/null >/dev/null 2>&1 &
  KV2_XVFB_PID=$!
  local i number
  for ((i = 0; i < 100; i++)); do
    # read fails until the whole line, newline included, is there.
    if read -r number <"$numfile" && [[ $number =~ ^[0-9]+$ ]]; then
      export DISPLAY=:$number
      rm -f "$numfile"
      return 0
    fi
    kill -0 "$KV2_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$numfile"
  kv2_xvfb_stop
  echo "xvfb.sh: Xvfb did not start" >&2
  return 1
}

kv2_xvfb_stop() {
  [[ -n ${KV2_XVFB_PID:-} ]] || return 0
  kill "$KV2_XVFB_PID" 2>/dev/null || true
  wait "$KV2_XVFB_PID" 2>/dev/null || true
  KV2_XVFB_PID=
}
