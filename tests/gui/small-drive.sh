#!/usr/bin/env bash
# A drive that fills up after 1 MB, for the install test of a full destination: a tmpfs, which
# Wine reaches through its drive Z: (the Unix root). Mounting needs root.
#   small-drive.sh up|down MOUNT_POINT
set -euo pipefail
action=$1 dir=$2
case $action in
  up)
    mkdir -p "$dir"
    if ! mountpoint -q "$dir"; then
      mount -t tmpfs -o size=1m,mode=0777 kv2-small-drive "$dir" || {
        echo "small-drive.sh: cannot mount a tmpfs at $dir (root is needed)" >&2
        exit 1
      }
    fi
    ;;
  down)
    if mountpoint -q "$dir"; then umount "$dir"; fi
    rmdir "$dir" 2>/dev/null || true
    ;;
  *)
    echo "usage: small-drive.sh up|down MOUNT_POINT" >&2
    exit 2
    ;;
esac
