#!/usr/bin/env bash
# Media that kv2media lays out install through the skinned setup: the demo's payload with a file
# of a Korean name, which the list file names in code page 949, arrive whole, and nothing else.
#   kv2media-install.sh KV2MEDIA MEDIA     (on an X display, as ctest runs it within scripts/test)
set -euo pipefail

root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
kv2media=$1
demo=$2
source "$root/scripts/lib/wine.sh"
source "$root/scripts/lib/setup-driver.sh"
kv2_wine_prefix

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

work=$(mktemp -d)
folder="C:\\kv2-media-$$-$RANDOM"
installed=$(kv2_drive_c "$folder")
trap 'kv2_setup_kill; rm -rf "$work" "$installed"' EXIT

# The demo's payload is its media but for the setup's own files.
mkdir "$work/payload"
cp -p "$demo"/* "$work/payload/"
rm "$work/payload/KV2Setup.exe" "$work/payload/K2Login.kds" "$work/payload/KV2Setup.inf" "$work/payload/KV2Media.txt"
echo "안녕하세요" >"$work/payload/한글.TXT"
"$kv2media" build --setup "$demo/KV2Setup.exe" --skin "$demo/K2Login.kds" "$work/payload" "$work/media" >/dev/null ||
  fail "kv2media refused the payload"

kv2_setup_install "$work/media" "$folder" || fail "the install did not end as it should"
kv2_preview_close "$KV2_PREVIEW" || fail "the preview stays open"
diff -r "$work/payload" "$installed" || fail "what was installed is not the payload"
echo "installed the $(ls "$work/payload" | wc -l) files of the payload into $folder"
