#!/usr/bin/env bash
# Draws the three sample texts with kestrel-mail render (the GB, Big5 and
# ISO-2022-CN views) and stacks them into docs/chinese-views.png, at twice the
# size so the 16-pixel glyphs can be seen. Needs netpbm.
#   docs/chinese-samples/make_picture.sh [build/cli/kestrel-mail]
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"
program=$(readlink -f "${1:-../../build/cli/kestrel-mail}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for view in gb big5 cns; do
  "$program" render "$view" "$view.txt" -o "$work/$view.pbm"
  pnmpad -white -bottom 12 "$work/$view.pbm" >"$work/$view-padded.pbm"
done
pnmcat -tb -jleft -white "$work/gb-padded.pbm" "$work/big5-padded.pbm" "$work/cns-padded.pbm" |
  pnmpad -white -left 8 -right 8 -top 8 -bottom 0 | pamscale 2 | pamtopnm | pnmtopng >../chinese-views.png
