# Sourced by tools/test, tools/run and tools/wine: a private Xvfb display and a
# private Wine prefix kept under the build folder (created once, reused).
#
#   wine_env_init BUILD_DIR   sets the environment, creates the prefix if missing
#   wine_session_start        starts Xvfb and a warm wineserver
#   wine_session_stop         stops what wine_session_start started

wine_env_init() {
    local build_dir=$1
    export WINEPREFIX="$build_dir/wineprefix"
    export WINEARCH=win32
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # Wine picks the ANSI code page from the locale: 932 needs ja_JP.
    export LANG=ja_JP.UTF-8
    export LC_ALL=ja_JP.UTF-8
}

# Registry settings that make Wine behave like a desktop without a window
# manager: a virtual desktop (no 2 s stalls on hide and EndDialog), no managed
# windows, and the Japanese dialog font mapped to an installed face.
wine_prefix_configure() {
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Pゴシック' /d IPAPGothic /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d IPAPGothic /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Shell Dlg' /d IPAPGothic /f >/dev/null 2>&1
}

wine_session_start() {
    # Xvfb itself picks a free display and says which once it accepts
    # clients. Choosing the number here by looking for its socket file let two
    # sessions starting together (or one after a server whose files were
    # already gone) share one screen: each then saw the other's windows,
    # pointer moves, keys and clipboard.
    local number_file n=
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    WINE_XVFB_PID=$!
    local i
    for i in $(seq 1 400); do
        if [ "$(wc -l <"$number_file")" -ge 1 ]; then
            n=$(head -n 1 "$number_file")
            break
        fi
        kill -0 "$WINE_XVFB_PID" 2>/dev/null || break
        sleep 0.05
    done
    rm -f "$number_file"
    if [ -z "$n" ]; then
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$n"
    if [ ! -f "$WINEPREFIX/.brisvane-configured" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wineserver -w
        wine_prefix_configure
        wineserver -w
        touch "$WINEPREFIX/.brisvane-configured"
    fi
    # Keep the server warm between the many short test processes.
    wineserver -p >/dev/null 2>&1 </dev/null
}

wine_session_stop() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    if [ -n "${WINE_XVFB_PID:-}" ]; then
        kill "$WINE_XVFB_PID" 2>/dev/null || true
        wait "$WINE_XVFB_PID" 2>/dev/null || true
        WINE_XVFB_PID=
    fi
}
