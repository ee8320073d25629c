# The Wine server of the project's prefix. Source it from bash.
#
#   kv2_wine_warmup     Makes sure a wineserver runs with Wine's services started, their
#                       output detached: run it before ctest, or the services started by the first
#                       test hold ctest's output pipe open and hang it. The server stays up while
#                       programs come and go, and exits $KV2_WINE_LINGER seconds (default 60)
#                       after the last one. Services take the current DISPLAY: start Xvfb first
#                       when windows will be shown.
#   kv2_wine_stop       Shuts the wineserver down now if kv2_wine_warmup started it here and no
#                       program of another run is using the prefix (that one's server then ends
#                       by itself).

source "${BASH_SOURCE[0]%/*}/wine-prefix.sh"

kv2_wine_warmup() {
  kv2_wine_prefix || return
  local started
  started=$(flock -o "$WINEPREFIX.lock" bash -c 'source "$1/wine-server.sh" && kv2__warmup' _ "$KV2_WINE_LIB_DIR" \
              </dev/null 2>>"$WINEPREFIX.log") ||
    { tail -n 5 "$WINEPREFIX.log" >&2; kv2__die "could not start Wine in $WINEPREFIX"; return; }
  [[ $started != started ]] || KV2_WINE_SERVER_OURS=1
}

# Runs under the prefix lock; prints "started" when it started the server.
kv2__warmup() {
  local rc=0
  wineserver "-p${KV2_WINE_LINGER:-60}" </dev/null >/dev/null 2>&1 || rc=$?
  case $rc in
    0)
      kv2_wine cmd /c exit </dev/null >/dev/null 2>&1 || return
      echo started ;;
    2) ;; # a server was running already, and whoever started it started the services
    *) echo "wineserver failed with status $rc" >&2; return 1 ;;
  esac
}

# Succeeds, naming it, when a Windows program other than Wine's own services runs in the prefix.
kv2__prefix_in_use() {
  local proc comm
  for proc in /proc/[0-9]*; do
    case $(readlink "$proc/exe" 2>/dev/null) in
      */wine | */wine64 | */wine-preloader | */wine64-preloader) ;;
      *) continue ;;
    esac
    comm=$(cat "$proc/comm" 2>/dev/null) || continue
    case $comm in
      services.exe | winedevice.exe | plugplay.exe | svchost.exe | explorer.exe | \
        rpcss.exe | wineboot.exe | winemenubuilder | conhost.exe) continue ;;
    esac
    if grep -qxzF "WINEPREFIX=$WINEPREFIX" "$proc/environ" 2>/dev/null; then
      echo "$comm (process ${proc#/proc/})"
      return 0
    fi
  done
  return 1
}

kv2_wine_stop() {
  [[ -n ${KV2_WINE_SERVER_OURS:-} ]] || return 0
  KV2_WINE_SERVER_OURS=
  local user
  if user=$(kv2__prefix_in_use); then
    echo "wine.sh: $user of another run uses $WINEPREFIX; the wineserver ends by itself" >&2
    return 0
  fi
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
