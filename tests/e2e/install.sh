#!/usr/bin/env bash
# The real KV2Setup.exe in demo media, driven with real clicks and key presses: it installs into
# a new folder, every listed file arrives intact with only the archive attribute, the preview
# client starts and animates, and the setup ends.
#   install.sh MEDIA     (on an X display, as ctest runs it within scripts/test)
set -euo pipefail

root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
media=$1
source "$root/scripts/lib/wine.sh"
source "$root/scripts/lib/setup-driver.sh"
kv2_wine_prefix

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The platform's own view of a file's attributes, letters only.
attributes() { kv2_wine cmd /c attrib "$1" 2>/dev/null | tr -d '\r' | cut -c1-12 | tr -d ' '; }

folder="C:\\kv2-e2e-$$-$RANDOM"
installed=$(kv2_drive_c "$folder")
# Whatever happens, nothing this test started outlives it.
trap 'kv2_setup_kill; rm -rf "$installed"' EXIT

listed=$(tr -d '\r' <"$media/KV2Setup.inf")
[[ $(attributes "$(kv2_wine winepath -w "$media/KORVI2.DAT" 2>/dev/null | tr -d '\r')") == *R* ]] || fail "the media lack their read-only file"

kv2_setup_install "$media" "$folder" || fail "the install did not end as it should"
preview=$KV2_PREVIEW

for name in $listed; do
  cmp "$media/$name" "$installed/$name" || fail "$name was not copied intact"
  [[ $(attributes "$folder\\$name") == A ]] || fail "$name has the attributes '$(attributes "$folder\\$name")'"
done
[[ $(ls "$installed" | wc -l) == $(wc -w <<<"$listed") ]] || fail "unlisted files in $installed: $(ls "$installed")"

# The client runs on its own after the setup and animates: within a few seconds its look changes
# (a loaded machine may hold its repaints back for a while).
import -window "$preview" "$installed.look1.png"
changed=0
for _ in $(seq 10); do
  sleep 0.3
  import -window "$preview" "$installed.look2.png"
  changed=$(compare -metric AE "$installed.look1.png" "$installed.look2.png" null: 2>&1 || true)
  ((${changed%% *} > 0)) && break
done
rm -f "$installed".look*.png
((${changed%% *} > 0)) || fail "the preview client does not animate"

# Escape closes it.
kv2_preview_close "$preview" || fail "the preview stays open"
echo "installed $(wc -w <<<"$listed") files into $folder"
