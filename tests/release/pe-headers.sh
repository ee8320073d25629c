#!/usr/bin/env bash
# The shipped executables' own defences, read from their PE headers: ASLR (with relocations to
# move by, and the full entropy on 64-bit), DEP, the stack protector's handler linked in, imports
# only from DLLs the system loads from its known list, none that the system the header declares
# lacks (newer-imports.txt), and no link time stamp.
#   pe-headers.sh TRIPLE PROGRAM.exe...
set -euo pipefail

here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
triple=$1
shift
failed=0
fail() {
  echo "FAILED: $1: $2" >&2
  failed=1
}

# The names a program imports, one a line, from objdump -p.
imported_functions() {
  awk '/DLL Name:/ { in_dll = 1; next } /^$/ { in_dll = 0 } in_dll && NF >= 3 && $1 !~ /vma:/ { print $NF }'
}

# "FUNCTION VERSION" for each name on stdin that newer-imports.txt lists.
newer_than_xp() {
  awk 'NR == FNR { if ($1 !~ /^#/ && NF == 2) since[$1] = $2; next }
    { for (p in since) { re = p; gsub(/\*/, ".*", re); if ($1 ~ ("^" re "$")) print $1, since[p] } }' \
    "$here/newer-imports.txt" -
}

# newer A B: whether version A is later than version B.
newer() { [[ $1 != "$2" && $(printf '%s\n' "$1" "$2" | sort -V | tail -n 1) == "$1" ]]; }

for exe in "$@"; do
  name=$(basename "$exe")
  headers=$("$triple-objdump" -p "$exe")
  for flag in DYNAMIC_BASE NX_COMPAT; do
    grep -qw "$flag" <<<"$headers" || fail "$name" "no $flag"
  done
  if grep -q '^Magic.*PE32+' <<<"$headers"; then
    grep -qw HIGH_ENTROPY_VA <<<"$headers" || fail "$name" "no HIGH_ENTROPY_VA"
  fi
  "$triple-objdump" -h "$exe" | grep -qw '\.reloc' || fail "$name" "no relocations: ASLR cannot move it"
  grep -q 'stack smashing detected' "$exe" || fail "$name" "no stack protector"
  grep -q '^Time/Date.*1970$' <<<"$headers" || fail "$name" "a link time stamp: $(grep '^Time/Date' <<<"$headers")"
  for dll in $(awk '/DLL Name:/ { d = tolower($3); sub(/\.dll$/, "", d); print d }' <<<"$headers"); do
    grep -qx "$dll" "$here/known-dlls.txt" || fail "$name" "imports $dll.dll, which the system may load from the program's folder"
  done
  declared=$(awk '/^MajorSubsystemVersion/ { major = $2 } /^MinorSubsystemVersion/ { minor = $2 }
    END { print major "." minor }' <<<"$headers")
  while read -r function since; do
    newer "$since" "$declared" && fail "$name" "imports $function, which Windows $since brought; the header declares $declared"
  done < <(imported_functions <<<"$headers" | newer_than_xp)
  ((failed)) || echo "$name: $(grep -oE 'HIGH_ENTROPY_VA|DYNAMIC_BASE|NX_COMPAT' <<<"$headers" | xargs), relocations, stack protector, no time stamp, known DLLs only, runs on Windows $declared"
done
exit $failed
