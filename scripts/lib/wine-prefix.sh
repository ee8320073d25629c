# The project's Wine prefix. Source it from bash.
#
#   kv2_wine_prefix     Exports the Wine environment (WINEPREFIX, WINEARCH, WINEDEBUG,
#                       WINEDLLOVERRIDES) and creates the project's prefix on first use, with the
#                       settings of wine-prefix.reg. One WoW64 prefix (about 1.3 GB) shared by
#                       every build tree, in ${XDG_CACHE_HOME:-$HOME/.cache}/korvi2/wineprefix,
#                       or $KV2_WINEPREFIX (absolute). Never ~/.wine. Safe when several processes
#                       call it at once.
#
# Settings: KV2_WINEPREFIX, WINEDEBUG (default -all).

source "${BASH_SOURCE[0]%/*}/wine-arch.sh"
source "${BASH_SOURCE[0]%/*}/wine-programs.sh"

# Raised whenever wine-prefix.reg changes, so existing prefixes pick it up.
KV2_WINE_SETTINGS_VERSION=2

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
  if ! flock -o "$prefix.lock" bash -c 'source "$1/wine-prefix.sh" && kv2__prefix_create' _ "$KV2_WINE_LIB_DIR" \
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
  iconv -f UTF-8 -t UTF-16 "$KV2_WINE_LIB_DIR/wine-prefix.reg" >"$reg"
  kv2_wine reg import "$reg"
  rm -f "$reg"
  # A new prefix is nobody else's yet: wait until its server has written the registry to disk.
  # An older one may be in use; its server writes the settings whenever it ends.
  [[ -z $new ]] || wineserver -w
  echo "$KV2_WINE_SETTINGS_VERSION" >"$marker"
  echo "== $(date '+%F %T') done"
}
