# Starting Windows programs under Wine. Source it from bash.
#
#   kv2_wine ARGS...    Runs `wine ARGS...` in the project's locale ($KV2_WINE_LOCALE,
#                       default ko_KR.UTF-8: ANSI code page 949, so the Korean text of the "A"
#                       functions survives). Use it for every Windows program.
#   kv2_wine_streamed ARGS...
#                       kv2_wine with the program's output passed on through files, so that the
#                       processes Wine starts on the side never hold the caller's pipes open (a
#                       pipe reader such as ctest would wait for them). Returns the program's status.
#                       A run that fails without printing anything is started once more.
#
# Windows programs end their lines with CRLF: strip "\r" when parsing their output.

KV2_WINE_LIB_DIR=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")

kv2__die() {
  echo "wine.sh: $*" >&2
  return 1
}

# Wine's 64-bit loader where there is one: it runs 64-bit programs itself and starts the 32-bit
# loader for 32-bit ones. That one is a 32-bit Linux program, which a kernel without 32-bit
# support runs only through the emulator scripts/bootstrap registers for it: slower to start,
# and never needed for a 64-bit program.
kv2__wine_select() {
  [[ -n ${KV2__WINE_LOADER:-} ]] && return 0
  if [[ -x /usr/lib/wine/wine64 ]]; then
    export KV2__WINE_LOADER=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
  else
    export KV2__WINE_LOADER=wine
  fi
}

KV2_WINE_LOCALE=${KV2_WINE_LOCALE:-ko_KR.UTF-8}

kv2_wine() {
  kv2__wine_select
  env LC_ALL="$KV2_WINE_LOCALE" "$KV2__WINE_LOADER" "$@"
}

# kv2_wine with the program's output passed on through files. Processes Wine starts on the side
# (the desktop process, services) inherit the program's stdout and stderr and outlive it: were
# those the caller's pipes, a reader such as ctest would wait for them after the program ended.
kv2_wine_streamed() {
  local rc=0
  kv2__streamed_once "$@" || rc=$?
  # Twice in some two thousand test runs, a program (once 64-bit, once 32-bit) ended with
  # status 1 in a fraction of a second without a byte of output, and ran normally the next
  # time: Wine had not started it. A run that fails without any output is tried once more.
  if ((rc != 0)) && [[ -n $KV2__SILENT ]]; then
    echo "wine.sh: Wine ended with status $rc before $1 printed anything; starting it once more" >&2
    rc=0
    kv2__streamed_once "$@" || rc=$?
  fi
  return $rc
}

# One run of kv2_wine_streamed; sets KV2__SILENT when the program printed nothing.
kv2__streamed_once() {
  local dir pid rc=0
  dir=$(mktemp -d -t kv2-wine.XXXXXX) || return
  : >"$dir/out" && : >"$dir/err" || return
  # An asynchronous command gets /dev/null as stdin unless it is redirected explicitly.
  kv2__wine_select
  env LC_ALL="$KV2_WINE_LOCALE" "$KV2__WINE_LOADER" "$@" <&0 >"$dir/out" 2>"$dir/err" &
  pid=$!
  # tail ends once the program has, after the output that is left.
  tail -s 0.02 --pid="$pid" -n +1 -f "$dir/out" &
  local tail_out=$!
  tail -s 0.02 --pid="$pid" -n +1 -f "$dir/err" >&2 &
  local tail_err=$!
  local caller_traps
  caller_traps=$(trap -p INT TERM)
  trap 'kill "$pid" 2>/dev/null' INT TERM
  wait "$pid" || rc=$?
  trap - INT TERM
  eval "$caller_traps"
  wait "$tail_out" "$tail_err" || true
  KV2__SILENT=
  [[ -s $dir/out || -s $dir/err ]] || KV2__SILENT=1
  rm -rf "$dir"
  return $rc
}
