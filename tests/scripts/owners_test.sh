#!/usr/bin/env bash
# Each group of runtime state has one owner that writes it: a product file
# that assigns to a group it does not own fails here (reads are free).
# The settings record is written only by the settings layer's record file:
# the load and the settings-change path hand it a whole record.
set -eu
cd "${ROOT_DIR:-$(dirname "$0")/../..}"

declare -A owners=(
    [startup]="app/main_win.cpp"
    [geometry]="loupe/state_win.cpp app/settings_change_win.cpp"
    [presence]="engine/presence_win.cpp"
    [modal_depth]="loupe/state_win.cpp engine/modal_win.cpp" # its definition, its owner
    [tick_memory]="engine/tick_win.cpp"
    [handles]="app/setup_win.cpp"
    [tooltip_state]="engine/tooltip_window_win.cpp"
    [freeze]="engine/freeze_win.cpp"
    [settings]="settings/settings_record.cpp"
)

bad=0
for group in "${!owners[@]}"; do
    # An assignment, compound assignment or increment of the group or a
    # field of it; for the settings record also a field passed by address.
    write="(^|[^A-Za-z0-9_.>])$group(\.[A-Za-z_]+)*(\[[^]]*\])?[[:space:]]*([-+*/|&]?=[^=]|\+\+|--)"
    write="$write|(\+\+|--)$group\b"
    [ "$group" = settings ] && write="$write|&settings\."
    for file in app/*.cpp engine/*.cpp loupe/*.cpp settings/*.cpp dialogs/*.cpp platform/*.cpp; do
        [[ " ${owners[$group]} " == *" $file "* ]] && continue
        if grep -nE "$write" "$file" | grep -vE '^[0-9]+:[[:space:]]*//'; then
            echo "  ^ $file writes $group, owned by ${owners[$group]}"
            bad=1
        fi
    done
done
exit $bad
