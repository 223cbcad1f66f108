#!/bin/sh
# Builds brisvane.chm from the help sources.
#   make_chm.sh SOURCE_DIR WORK_DIR OUTPUT_CHM
# The sources are kept in UTF-8; the program and the help viewer work in code
# page 932, so every page, the contents and the index are converted to it and
# their charset declaration follows.
set -eu
src=$1
work=$2
out=$3

rm -rf "$work"
mkdir -p "$work"
for file in "$src"/*.html "$src"/*.hhc "$src"/*.hhk "$src"/*.hhp "$src"/*.css; do
    name=$(basename "$file")
    iconv -f UTF-8 -t CP932 "$file" | sed 's/charset=UTF-8/charset=Shift_JIS/' >"$work/$name"
done
(cd "$work" && chmcmd --verbosity 1 brisvane.hhp >chmcmd.log 2>&1) || {
    cat "$work/chmcmd.log" >&2
    exit 1
}
# chmcmd reports a link to a missing page as a warning and still succeeds.
if grep -qi '^warning\|^error\|couldn.t find' "$work/chmcmd.log"; then
    cat "$work/chmcmd.log" >&2
    exit 1
fi
cp "$work/brisvane.chm" "$out"
