#!/usr/bin/env bash
# The setup's face and the client's scene on a 256-colour display show the pictures' own
# colours, pixel for pixel, as on a true-colour one, and the setup's palette messages do there
# what they must: its own change starts nothing, and after another program's palette it takes
# its colours back when it comes to the front.
#   palette-display.sh GUI_TESTS_EXE
#
# An 8-bit Xvfb of its own and a Wine prefix of its own, where Wine keeps a private colour map
# and draws on the X server (ClientSideGraphics=N): in its default mode Wine draws every window of
# an 8-bit display through one fixed colour table, whatever palette a program realises. In the
# server mode Wine 8 draws no child windows at all, so the tests that read the controls' pixels
# (the buttons, the label) stay on the true-colour display.
set -euo pipefail

root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
source "$root/scripts/lib/wine.sh"

exe=$(readlink -f "$1")
KV2_WINEPREFIX=$(kv2__cache_dir)/wineprefix-palette
export KV2_WINEPREFIX
kv2_wine_prefix
marker=$WINEPREFIX/.kv2-palette-display
if [[ ! -f $marker ]]; then
  kv2_wine reg add 'HKCU\Software\Wine\X11 Driver' /v PrivateColorMap /d Y /f >/dev/null
  kv2_wine reg add 'HKCU\Software\Wine\X11 Driver' /v ClientSideGraphics /d N /f >/dev/null
  wineserver -w
  touch "$marker"
fi
kv2_session_begin --display 8

cd "$(dirname "$exe")"
kv2_wine "$exe" --gtest_brief=1 \
  --gtest_filter='SetupSkin.TheFaceIsTheBackgroundBitmapPlainOrCompressed:SetupSkin.*Palette*:PreviewTest.*'
