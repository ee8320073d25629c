# Wine and Xvfb for the project's scripts, all of it. Source it from bash:
#
#   source "$root/scripts/lib/wine.sh"
#
# Each concern has a file of its own, with its functions listed at its top; each function says
# what went wrong on stderr and returns non-zero on failure:
#
#   wine-arch.sh      whether this machine runs 32-bit Windows programs, and through what
#   wine-prefix.sh    the project's prefix (kv2_wine_prefix), its settings in wine-prefix.reg
#   wine-programs.sh  starting programs (kv2_wine, kv2_wine_streamed)
#   wine-server.sh    the warm wineserver (kv2_wine_warmup, kv2_wine_stop)
#   xvfb.sh           the virtual display (kv2_xvfb_start, kv2_xvfb_stop)
#   session.sh        all of them begun and ended together (kv2_session_begin, kv2_session_end)

source "${BASH_SOURCE[0]%/*}/session.sh"
