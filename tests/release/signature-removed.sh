#!/usr/bin/env bash
# A shipped executable that a publisher signed can still be compared with the build: signed with
# a throwaway certificate and the signature removed again (osslsigncode), each is byte for byte
# the built file (docs/releases.md).
#   signature-removed.sh PROGRAM.exe...
set -euo pipefail

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Throwaway Publisher" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
failed=0
for exe in "$@"; do
  name=$(basename "$exe")
  osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -h sha256 -in "$exe" -out "$work/signed.exe" >/dev/null
  osslsigncode remove-signature -in "$work/signed.exe" -out "$work/unsigned.exe" >/dev/null
  rm "$work/signed.exe"
  if cmp -s "$exe" "$work/unsigned.exe"; then
    echo "$name: the same bytes once signed and unsigned"
  else
    echo "FAILED: $name: differs from the build once signed and unsigned: $(cmp "$exe" "$work/unsigned.exe" || true)" >&2
    failed=1
  fi
  rm "$work/unsigned.exe"
done
exit $failed
