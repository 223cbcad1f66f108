#!/usr/bin/env bash
# The release package: tools/package builds dist/brisvane-1.50-win32.zip; it
# must hold exactly the program, the help file and the read-me, each in the
# form Windows expects, and the program unpacked from it must start under Wine
# (its window appears) and end when asked.
set -euo pipefail
root=${ROOT_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
export BUILD_DIR=${BUILD_DIR:-$root/build}
cd "$root"

fail() { echo "FAIL: $*"; exit 1; }

tools/package
zip_file="$root/dist/brisvane-1.50-win32.zip"
[ -f "$zip_file" ] || fail "no $zip_file"

listing=$(unzip -Z1 "$zip_file" | grep -v '/$' | sort)
expected=$(printf '%s\n' brisvane-1.50/brisvane.chm brisvane-1.50/brisvane.exe brisvane-1.50/readme.txt)
[ "$listing" = "$expected" ] || fail "zip holds:
$listing"

work=$(mktemp -d)
app_pid=
cleanup() {
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then kill "$app_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
unzip -q "$zip_file" -d "$work"
app="$work/brisvane-1.50"

# The program: a 32-bit Windows GUI executable.
# (Outputs are kept in variables: grep -q closing a pipe early would trip pipefail.)
headers=$(LC_ALL=C i686-w64-mingw32-objdump -f -p "$app/brisvane.exe")
grep -q 'file format pei-i386' <<<"$headers" || fail "brisvane.exe is not a 32-bit PE file"
grep -q 'Subsystem.*Windows GUI' <<<"$headers" || fail "brisvane.exe is not a GUI program"

# The help file: a CHM in Japanese with every page the contents name.
[ "$(head -c 4 "$app/brisvane.chm")" = "ITSF" ] || fail "brisvane.chm is not a compiled help file"
chm_files=$(chmls -n list "$app/brisvane.chm" 2>/dev/null)
for page in index.html toc.hhc index.hhk dlg_options.html dlg_hotkey.html dlg_target.html \
    dlg_about.html settings.html cmd_exit.html; do
    grep -q "/$page\$" <<<"$chm_files" || fail "brisvane.chm lacks $page"
done
chm_system=$(chmls printsystem "$app/brisvane.chm" 2>/dev/null)
grep -q 'LCID from HHP file *: 1041' <<<"$chm_system" ||
    fail "brisvane.chm is not marked Japanese (LCID 1041)"
chmls extract "$app/brisvane.chm" /index.html "$work/index.html" >/dev/null 2>&1 ||
    fail "cannot extract index.html"
grep -q 'charset=Shift_JIS' "$work/index.html" || fail "index.html does not declare Shift_JIS"
iconv -f CP932 -t UTF-8 "$work/index.html" >"$work/index.utf8" || fail "index.html is not code page 932 text"
grep -q 'ルーペ' "$work/index.utf8" || fail "index.html lacks its Japanese text"

# The read-me: code page 932 with CR LF, Japanese and English.
iconv -f CP932 -t UTF-8 "$app/readme.txt" >"$work/readme.utf8" || fail "readme.txt is not code page 932"
grep -q 'Brisvane v1.50' "$work/readme.utf8" || fail "readme.txt lacks the version"
grep -q 'インストール' "$work/readme.utf8" || fail "readme.txt lacks the Japanese part"
grep -q 'Requirements' "$work/readme.utf8" || fail "readme.txt lacks the English part"
[ "$(grep -c $'\r$' "$app/readme.txt")" = "$(wc -l <"$app/readme.txt")" ] ||
    fail "readme.txt lines do not end in CR LF"

# Start the unpacked program under Wine; tools/test provides the session,
# a standalone run makes its own.
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
    . "$root/tools/lib/wine-env.sh"
    wine_env_init "$BUILD_DIR"
    wine_session_start
    trap 'cleanup; wine_session_stop' EXIT
fi
i686-w64-mingw32-gcc -O2 -Wall -o "$work/package_probe.exe" "$root/tests/scripts/package_probe.c" ||
    fail "cannot build the probe"

# A copy left running by anything before would answer for this one.
if wine "$work/package_probe.exe" BRISVANE_CLASS 0 >/dev/null; then
    fail "a Brisvane window exists before the unpacked program starts"
fi
(cd "$app" && exec wine ./brisvane.exe) >/dev/null 2>&1 &
app_pid=$!
wine "$work/package_probe.exe" BRISVANE_CLASS 20000 || fail "the unpacked brisvane.exe showed no window"

# WM_CLOSE ends it; it must not hang.
for _ in $(seq 1 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then fail "brisvane.exe did not end after WM_CLOSE"; fi
wait "$app_pid" || fail "brisvane.exe ended with status $?"
app_pid=
if wine "$work/package_probe.exe" BRISVANE_CLASS 0 >/dev/null; then
    fail "a Brisvane window is still there after the program ended"
fi
echo "package ok: $(du -h "$zip_file" | cut -f1) $zip_file"
