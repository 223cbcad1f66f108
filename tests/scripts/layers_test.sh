#!/usr/bin/env bash
# Includes point down only: each product folder may include itself and the
# folders `allowed` lists for it below, nothing above it. And a pure file (a
# .cpp without _win or _native) reaches <windows.h> through none of its
# includes, direct or indirect.
set -eu
cd "${ROOT_DIR:-$(dirname "$0")/../..}"

declare -A allowed=(
    [app]="dialogs engine loupe settings platform pixels resources"
    [dialogs]="engine loupe settings platform pixels resources"
    [engine]="loupe settings platform pixels resources"
    [loupe]="settings platform pixels"
    [settings]="platform pixels"
    [platform]=""
    [pixels]=""
    [resources]=""
)

# The project headers a file includes, and whether it includes a Windows one.
project_includes() { sed -n 's/^#include "\([^"]*\)".*/\1/p' "$1"; }
includes_windows() { grep -qE '^#include <(windows|windowsx|commctrl|shellapi)\.h>' "$1"; }

bad=0
checked=0
for folder in "${!allowed[@]}"; do
    for file in "$folder"/*.h "$folder"/*.cpp; do
        [ -f "$file" ] || continue
        checked=$((checked + 1))
        while read -r target; do
            # resource.h is included by the .rc from its own folder.
            [[ "$target" == */* ]] || continue
            dir=${target%%/*}
            [ "$dir" = "$folder" ] && continue
            if [[ " ${allowed[$folder]} " != *" $dir "* ]]; then
                echo "$file includes $target: $folder/ may not include $dir/"
                bad=1
            fi
        done < <(project_includes "$file")
    done
done

# Headers that bring in <windows.h> (or any header that does), to a fixpoint.
win_headers=" "
changed=1
while [ $changed = 1 ]; do
    changed=0
    for header in */*.h; do
        [[ "$win_headers" == *" $header "* ]] && continue
        if includes_windows "$header"; then
            win_headers+="$header "; changed=1; continue
        fi
        while read -r target; do
            if [[ "$win_headers" == *" $target "* ]]; then
                win_headers+="$header "; changed=1; break
            fi
        done < <(project_includes "$header")
    done
done

for folder in "${!allowed[@]}"; do
    for file in "$folder"/*.cpp; do
        [ -f "$file" ] || continue
        case "$file" in *_win.cpp|*_native.cpp) continue ;; esac
        if includes_windows "$file"; then
            echo "$file is pure but includes a Windows header"
            bad=1
        fi
        while read -r target; do
            if [[ "$win_headers" == *" $target "* ]]; then
                echo "$file is pure but includes $target, which brings in <windows.h>"
                bad=1
            fi
        done < <(project_includes "$file")
    done
done
echo "$checked files checked"
exit $bad
