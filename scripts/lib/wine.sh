# Wine and Xvfb for the project's scripts. Source it from bash:
#
#   source "$root/scripts/lib/wine.sh"
#
# Functions (each says what went wrong on stderr and returns non-zero on failure):
#
#   kv2_wine_prefix     Exports the Wine environment (WINEPREFIX, WINEARCH, WINEDEBUG,
#                       WINEDLLOVERRIDES) and creates the project's prefix on first use.
#                       One WoW64 prefix (about 1.3 GB) shared by every build tree, in
#                       ${XDG_CACHE_HOME:-$HOME/.cache}/korvi2/wineprefix, or $KV2_WINEPREFIX
#                       (absolute). Never ~/.wine. Safe when several processes call it at once.
#   kv2_wine ARGS...    Runs `wine ARGS...` in the project's locale ($KV2_WINE_LOCALE,
#                       default ko_KR.UTF-8: ANSI code page 949, so the Korean text of the "A"
#                       functions survives). Use it for every Windows program.
#   kv2_wine_streamed ARGS...
#                       kv2_wine with the program's output passed on through files, so that the
#                       processes Wine starts on the side never hold the caller's pipes open (a
#                       pipe reader such as ctest would wait for them). Returns the program's status.
#                       A run that fails without printing anything is started once more.
#   kv2_wine_warmup     Makes sure a wineserver runs with Wine's services started, their
#                       output detached: run it before ctest, or the services started by the first
#                       test hold ctest's output pipe open and hang it. The server stays up while
#                       programs come and go, and exits $KV2_WINE_LINGER seconds (default 60)
#                       after the last one. Services take the current DISPLAY: start Xvfb first
#                       when windows will be shown.
#   kv2_wine_stop       Shuts the wineserver down now if kv2_wine_warmup started it here and no
#                       program of another run is using the prefix (that one's server then ends
#                       by itself).
#   kv2_xvfb_start [DEPTH]
#                       Starts Xvfb (1024x768, DEPTH bits, default 24) on a free display number
#                       and exports DISPLAY. DEPTH 8 gives a palette display. Xvfb is a job of
#                       the calling shell: a bare `wait` would wait for it too.
#   kv2_xvfb_stop       Stops the Xvfb that kv2_xvfb_start started here.
#   kv2_session_begin [--display [DEPTH]]
#                       kv2_wine_prefix, optionally kv2_xvfb_start, then kv2_wine_warmup, and
#                       sets an EXIT trap (and INT/TERM) that calls kv2_session_end, so Xvfb and
#                       wineserver go away also when a step fails. A caller with its own EXIT
#                       trap calls kv2_session_end from it instead.
#   kv2_session_end     kv2_wine_stop and kv2_xvfb_stop; safe to call twice.
#   kv2_wine_runs_32bit True when this machine runs 32-bit Windows programs: Wine's 32-bit
#                       half is a 32-bit Linux program, and some kernels run none.
#   kv2_wine_32bit_emulated
#                       True when they run only through the emulator scripts/bootstrap
#                       registered: each process then starts about a second later.
#
# Settings: KV2_WINEPREFIX (absolute path of another prefix), KV2_WINE_LOCALE, WINEDEBUG
# (default -all). Windows programs end their lines with CRLF: strip "\r" when parsing their output.

KV2_WINE_LIB=$(readlink -f "${BASH_SOURCE[0]}")

# Wine's 32-bit Windows modules, as Debian installs them.
KV2_WINE_MODULES_32=/usr/lib/i386-linux-gnu/wine/i386-windows

# Raised whenever the prefix settings below change, so existing prefixes pick them up.
KV2_WINE_SETTINGS_VERSION=2

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

kv2_wine_runs_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The registration scripts/bootstrap makes where the kernel runs no 32-bit programs.
KV2_WINE_EMULATOR_ENTRY=/proc/sys/fs/binfmt_misc/qemu-i386

kv2_wine_32bit_emulated() {
  [[ $(head -n 1 "$KV2_WINE_EMULATOR_ENTRY" 2>/dev/null) == enabled ]]
}

kv2__die() {
  echo "wine.sh: $*" >&2
  return 1
}

kv2__cache_dir() {
  local cache=${XDG_CACHE_HOME:-}
  # A relative XDG_CACHE_HOME is invalid and must be ignored.
  if [[ $cache != /* ]]; then
    [[ ${HOME:-} == /* ]] || kv2__die "HOME is not an absolute path; set KV2_WINEPREFIX" || return
    cache=$HOME/.cache
  fi
  echo "$cache/korvi2"
}

kv2__prefix_path() {
  local prefix
  if [[ -n ${KV2_WINEPREFIX:-} ]]; then
    prefix=$KV2_WINEPREFIX
  else
    prefix=$(kv2__cache_dir)/wineprefix || return
  fi
  [[ $prefix == /* ]] || kv2__die "the Wine prefix must be an absolute path, not '$prefix'" || return
  if [[ -n ${HOME:-} && $(readlink -m "$prefix") == $(readlink -m "$HOME/.wine") ]]; then
    kv2__die "refusing to use the user's own prefix ~/.wine" || return
  fi
  echo "$prefix"
}

kv2_wine_prefix() {
  local prefix
  prefix=$(kv2__prefix_path) || return
  export WINEPREFIX=$prefix WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  # No Mono/Gecko installers, and no desktop menu entries on the host for shortcuts.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  command -v wine >/dev/null || kv2__die "wine is not installed; run scripts/bootstrap" || return
  kv2__prefix_ready "$prefix" && return 0

  mkdir -p "$(dirname "$prefix")" || return
  local log=$prefix.log
  if [[ ! -f $prefix/system.reg ]]; then
    echo "wine.sh: creating the Wine prefix $prefix (first use only, about a minute)" >&2
  elif kv2__prefix_lacks_32bit "$prefix"; then
    echo "wine.sh: adding Wine's 32-bit system to $prefix (once, a few seconds)" >&2
  fi
  # The lock is held by flock alone: a Wine process that inherited it would keep it forever.
  if ! flock -o "$prefix.lock" bash -c 'source "$1" && kv2__prefix_create' _ "$KV2_WINE_LIB" \
       </dev/null >>"$log" 2>&1; then
    tail -n 20 "$log" >&2
    kv2__die "could not set up the Wine prefix $prefix (log: $log)"
    return
  fi
}

# kv2__prefix_ready PREFIX: its settings are current, and it holds Wine's 32-bit system where
# 32-bit programs run (a prefix made where they did not lacks it).
kv2__prefix_ready() {
  [[ $(cat "$1/.kv2-settings" 2>/dev/null) == "$KV2_WINE_SETTINGS_VERSION" ]] &&
    ! kv2__prefix_lacks_32bit "$1"
}

kv2__prefix_lacks_32bit() {
  [[ ! -f $1/drive_c/windows/syswow64/kernel32.dll ]] && kv2_wine_runs_32bit
}

# Runs under the prefix lock, output to the log. Wine's own processes started here inherit
# only that log, never a caller's pipe.
kv2__prefix_create() {
  set -euo pipefail
  local marker=$WINEPREFIX/.kv2-settings
  kv2__prefix_ready "$WINEPREFIX" && return 0
  echo "== $(date '+%F %T') setting up $WINEPREFIX"
  local new=
  [[ -f $marker ]] || new=1
  [[ -z $new ]] || kv2_wine wineboot --init
  if kv2__prefix_lacks_32bit "$WINEPREFIX"; then
    # Wine installs its 32-bit system with a 32-bit program, which cannot start before that
    # system is there: seed it with the files the install copies, Wine's own 32-bit modules.
    echo "== adding Wine's 32-bit system"
    local syswow64=$WINEPREFIX/drive_c/windows/syswow64
    mkdir -p "$syswow64"
    cp -n "$KV2_WINE_MODULES_32"/*.dll "$KV2_WINE_MODULES_32/rundll32.exe" "$syswow64/"
    kv2_wine wineboot --update
  fi
  local reg
  reg=$(mktemp --suffix=.reg)
  kv2__prefix_settings | iconv -f UTF-8 -t UTF-16 >"$reg"
  kv2_wine reg import "$reg"
  rm -f "$reg"
  # A new prefix is nobody else's yet: wait until its server has written the registry to disk.
  # An older one may be in use; its server writes the settings whenever it ends.
  [[ -z $new ]] || wineserver -w
  echo "$KV2_WINE_SETTINGS_VERSION" >"$marker"
  echo "== $(date '+%F %T') done"
}

# The prefix's registry settings, as a .reg file.
kv2__prefix_settings() {
  cat <<'EOF'
Windows Registry Editor Version 5.00

; Wine ships no Korean fonts: the dialog fonts, by either name, are NanumGothic (fonts-nanum).
; A replacement applies only to a family that is not installed, so none hides a real font.
[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"System"="NanumGothic"
"MS Sans Serif"="NanumGothic"
"Tahoma"="NanumGothic"
"Gulim"="NanumGothic"
"굴림"="NanumGothic"
"Dotum"="NanumGothic"
"돋움"="NanumGothic"
"GulimChe"="NanumGothicCoding"
"굴림체"="NanumGothicCoding"
"DotumChe"="NanumGothicCoding"
"돋움체"="NanumGothicCoding"
"Batang"="NanumMyeongjo"
"바탕"="NanumMyeongjo"
"BatangChe"="NanumMyeongjo"
"바탕체"="NanumMyeongjo"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"mscoree"=""
"mshtml"=""
"winemenubuilder.exe"=""

; Wine waits up to 2 s for a window manager to confirm each window it hides, and Xvfb has none.
; Unmanaged windows skip that wait; Wine draws their frames itself as before.
[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

; A crash prints its backtrace instead of waiting on a dialog nobody answers.
[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
EOF
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

kv2_wine_warmup() {
  kv2_wine_prefix || return
  local started
  started=$(flock -o "$WINEPREFIX.lock" bash -c 'source "$1" && kv2__warmup' _ "$KV2_WINE_LIB" \
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

kv2_xvfb_start() {
  local depth=${1:-24}
  command -v Xvfb >/dev/null || kv2__die "Xvfb is not installed; run scripts/bootstrap" || return
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
  kv2__die "Xvfb did not start"
}

kv2_xvfb_stop() {
  [[ -n ${KV2_XVFB_PID:-} ]] || return 0
  kill "$KV2_XVFB_PID" 2>/dev/null || true
  wait "$KV2_XVFB_PID" 2>/dev/null || true
  KV2_XVFB_PID=
}

kv2_session_begin() {
  trap kv2_session_end EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  kv2_wine_prefix || return
  if [[ ${1:-} == --display ]]; then
    kv2_xvfb_start "${2:-24}" || return
  fi
  kv2_wine_warmup
}

kv2_session_end() {
  kv2_wine_stop
  kv2_xvfb_stop
}
