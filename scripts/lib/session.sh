# A test session: the prefix, a virtual display and a warm Wine server, ended together. Source it
# from bash.
#
#   kv2_session_begin [--display [DEPTH]]
#                       kv2_wine_prefix, optionally kv2_xvfb_start, then kv2_wine_warmup, and
#                       sets an EXIT trap (and INT/TERM) that calls kv2_session_end, so Xvfb and
#                       wineserver go away also when a step fails. A caller with its own EXIT
#                       trap calls kv2_session_end from it instead.
#   kv2_session_end     kv2_wine_stop and kv2_xvfb_stop; safe to call twice.

source "${BASH_SOURCE[0]%/*}/wine-server.sh"
source "${BASH_SOURCE[0]%/*}/xvfb.sh"

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
