#!/usr/bin/env bash
# No DLL planted beside the setup or the client it starts is loaded into them. For every DLL they
# import that the system does not load from its known list, for the DLLs they bind at run time,
# and for DLLs the system loads on demand, a stub of that name (PlantedDll.c, exporting what the
# programs import from the real one) lies beside KV2Setup.exe in the media and, through the list
# file, beside KV2.EXE in the install folder. Wine is told to prefer such a native copy. The
# setup must still install, the client show its scene, and no stub leave its marker.
#   planted-dll.sh MEDIA TRIPLE [DLL...]   (TRIPLE: the mingw-w64 target; DLLs: only these)
set -euo pipefail

root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
media=$1 triple=$2
shift 2
source "$root/scripts/lib/wine.sh"
source "$root/scripts/lib/setup-driver.sh"
kv2_wine_prefix

# Bound at run time (and psapi, which the timing hook once imported), and loaded on demand.
always="comctl32 lz32 winmm psapi uxtheme version dwmapi"

work=$(mktemp -d)
folder="C:\\kv2-planted-$$-$RANDOM"
installed=$(kv2_drive_c "$folder")
trap 'kv2_setup_kill; rm -rf "$work" "$installed"' EXIT

# imports PROGRAM...: "dll name" for every imported name, the DLL in lower case.
imports() {
  "$triple-objdump" -p "$@" | awk '
    /DLL Name:/ { dll = tolower($3); sub(/\.dll$/, "", dll); next }
    /^$/ { dll = "" }
    dll != "" && NF >= 3 && $1 !~ /vma:/ { print dll, $NF }'
}

markers() { find "$work/media" "$installed" -name '*.loaded' -printf '%f: ' -exec cat {} \; -printf '\n' 2>/dev/null; }

fail() {
  echo "FAILED: $*" >&2
  markers | sed 's/^/planted DLL loaded: /' >&2
  exit 1
}

cp -r "$media" "$work/media"
programs=("$work/media/KV2Setup.exe" "$work/media/KV2.EXE")
imports "${programs[@]}" | sort -u >"$work/imports"
if (($# > 0)); then
  planted="$*"
else
  planted=$( (echo "$always" | tr ' ' '\n'; cut -d' ' -f1 "$work/imports") | sort -u |
    grep -vxF -f "$root/tests/release/known-dlls.txt")
fi

# Wine's own system DLLs import DLLs that are not known ones (its user32 imports version.dll):
# Wine loads those with the program's imports, before the program's first instruction, from
# wherever the search finds them, and no program can keep them out. Windows' own import none.
case $triple in
  x86_64*) modules=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows ;;
  *) modules=$KV2_WINE_MODULES_32 ;;
esac
wine_own=$(for dll in $(cut -d' ' -f1 "$work/imports" | sort -u | grep -xF -f "$root/tests/release/known-dlls.txt"); do
  imports "$modules/$dll.dll"; done | cut -d' ' -f1 | sort -u | grep -vxF -f "$root/tests/release/known-dlls.txt" || true)
left_to_wine=$(grep -xF -f <(echo "$wine_own") <<<"$planted" || true)
planted=$(grep -vxF -f <(echo "$wine_own") <<<"$planted" || true)

overrides=
for dll in $planted; do
  { echo EXPORTS; awk -v d="$dll" '$1 == d { print $2 "=PlantedExport" }' "$work/imports"; } >"$work/$dll.def"
  "$triple-gcc" -shared -s -o "$work/media/$dll.dll" "$root/tests/e2e/planted/PlantedDll.c" "$work/$dll.def" ||
    fail "the stub $dll.dll did not build"
  printf '%s.dll\r\n' "$dll" >>"$work/media/KV2Setup.inf"
  overrides+=";$dll=n,b"
done
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES$overrides"
echo "planted:" $planted
echo "not planted, imported by Wine's own system DLLs:" $left_to_wine

kv2_setup_install "$work/media" "$folder" || fail "the install did not end as it should"
preview=$KV2_PREVIEW
for dll in $planted; do
  cmp -s "$work/media/$dll.dll" "$installed/$dll.dll" || fail "$dll.dll was not installed beside KV2.EXE"
done

# The scene, not an empty window: its pictures bring many colours (an emulated or loaded
# machine may take seconds to paint them).
for _ in $(seq 30); do
  colours=$(import -window "$preview" png:- | identify -format '%k' -)
  ((colours > 16)) && break
  sleep 0.5
done
((colours > 16)) || fail "the preview shows $colours colours, not its scene"
kv2_preview_close "$preview" || fail "the preview stays open"

[[ -z $(markers) ]] || fail "a planted DLL was loaded"
echo "no planted DLL loaded:" $planted
