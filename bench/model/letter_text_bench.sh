#!/usr/bin/env bash
# A letter's text read character by character, every character's bytes known
# (what the viewer and box view --utf8 do), against glibc's iconv command
# converting the same bytes whole: a letter of 5 MB of GB text and one of
# 7.7 MB of UTF-8. The reading is box view --utf8 less box view, which opens
# the mailbox and builds the text the same way.
#   bench/model/letter_text_bench.sh [RUNS]   (after a build into build/)
# Prints each run and the medians; the goal is a time ratio under 5.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/../.."
runs=${1:-5}
mail=$PWD/build/cli/kestrel-mail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median() { sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
seconds() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN {printf "%.4f\n", ns / 1e9}'
}

python3 - "$work/letters.mbox" <<'PY'
import sys
line = "中西文多媒体邮件系统，你好世界。" * 4 + "\n"
with open(sys.argv[1], "wb") as mbox:
    for charset, body in (("gb2312", (line * 40000).encode("gb2312")),
                          ("utf-8", (line * 40000).encode("utf-8"))):
        mbox.write(b"From li@pku.edu.cn Thu Dec  5 10:30:00 1996\n")
        mbox.write(("From: li@pku.edu.cn\nSubject: " + charset + "\nMIME-Version: 1.0\n"
                    "Content-Type: text/plain; charset=" + charset + "\n"
                    "Content-Transfer-Encoding: 8bit\n\n").encode())
        mbox.write(body + b"\n")
PY
HOME=$work "$mail" box import "$work/letters.mbox" "$work/letters.box" >/dev/null

for letter in 1 2; do
  : >"$work/ours" >"$work/base" >"$work/peer"
  charset=$([ "$letter" = 1 ] && echo GB18030 || echo UTF-8)
  "$mail" box view "$work/letters.box" "$letter" --hzos 1 >"$work/text"
  for run in $(seq "$runs"); do
    seconds "$mail" box view "$work/letters.box" "$letter" --hzos 1 --utf8 >>"$work/ours"
    seconds "$mail" box view "$work/letters.box" "$letter" --hzos 1 >>"$work/base"
    seconds iconv -f "$charset" -t UTF-8 "$work/text" >>"$work/peer"
    echo "letter $letter run $run: box view --utf8 $(tail -1 "$work/ours") s," \
      "box view $(tail -1 "$work/base") s, iconv $(tail -1 "$work/peer") s" >&2
  done
  awk -v ours="$(median <"$work/ours")" -v base="$(median <"$work/base")" \
    -v peer="$(median <"$work/peer")" -v size="$(stat -c %s "$work/text")" \
    -v charset="$charset" -v runs="$runs" 'BEGIN {
    printf "%s letter of %d bytes, medians of %d runs: box view --utf8 %.3f s, box view %.3f s,",
      charset, size, runs, ours, base
    printf " reading %.3f s, iconv %.3f s, ratio %.2f (goal: under 5)\n",
      ours - base, peer, (ours - base) / peer
  }'
done
