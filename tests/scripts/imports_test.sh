#!/usr/bin/env bash
# brisvane.exe must start on Windows XP: every DLL and function it imports
# must be one that XP provides (tests/scripts/xp_imports.txt), and
# SetLayeredWindowAttributes must stay a run-time lookup, not an import.
set -eu
exe="$BUILD_DIR/win32/brisvane.exe"
allow="$ROOT_DIR/tests/scripts/xp_imports.txt"
[ -f "$exe" ] || { echo "missing $exe"; exit 1; }

# "dll function" pairs from the import table, read from the file itself
# (objdump -p lays the table out differently from one binutils to the next).
table=$(python3 "$ROOT_DIR/tests/scripts/pe_imports.py" "$exe") || { echo "cannot read $exe"; exit 1; }
imports=$(grep -v '^subsystem ' <<<"$table" | sort -u)
[ -n "$imports" ] || { echo "no imports read from $exe"; exit 1; }

bad=0
while read -r dll function; do
    if ! grep -qxF "$dll $function" "$allow"; then
        echo "not provided by Windows XP (or not reviewed): $dll $function"
        bad=1
    fi
done <<<"$imports"

if grep -q 'SetLayeredWindowAttributes' <<<"$imports"; then
    echo "SetLayeredWindowAttributes is imported; it must be looked up at run time"
    bad=1
fi

# The PE header must ask for a subsystem version XP accepts (at most 5.1).
version=$(sed -n 's/^subsystem //p' <<<"$table")
case "$version" in
    4.*|5.0|5.1) ;;
    *) echo "subsystem version $version is newer than XP accepts"; bad=1 ;;
esac
echo "$(wc -l <<<"$imports") imports checked, subsystem $version"
exit $bad
