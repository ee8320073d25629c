#!/usr/bin/env bash
# Makes the scene target's picture archive from the demo's: the same members, the background at
# half its size, every picture with 16 colours. Reading and mapping the demo's own for every
# input took most of the target's time and reached nothing more.
#
#   fuzz/pictures/make.sh KDSTOOL      (KDSTOOL: a built kdstool, e.g. build/native/tools/kdstool/kdstool)
set -euo pipefail
kdstool=$(readlink -f "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$kdstool" extract "$here/../../demo/media/K2Scene.kds" -C "$work/demo"
mkdir "$work/small"
members=()
for member in Meadow Korvi Bird Star Tree; do
  factor=1
  [[ $member == Meadow ]] && factor=2
  python3 "$here/shrink.py" "$work/demo/$member.bmp" "$work/small/$member.bmp" "$factor" 16
  members+=("$work/small/$member.bmp")
done
rm -f "$here/K2Scene.kds"
"$kdstool" pack "$here/K2Scene.kds" "${members[@]}"
