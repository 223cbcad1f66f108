// Reading the foreground thread's caret. GetGUIThreadInfo asks the system,
// not the program, so a hung program cannot hold the tick here; only the
// accessibility question (caret_accessible_win.cpp) goes to the program.
#include "engine/caret_read.h"

#include "engine/caret_accessible.h"

namespace {

using PointMapFunction = BOOL(WINAPI*)(HWND, POINT*);

// The system's conversions between a window's logical and physical pixels.
// Windows 8.1 has the per-monitor pair (where the older pair no longer
// converts anything); Vista and 7 the older pair, for the scaling of
// programs that are not DPI aware; XP neither, and nothing is scaled there.
struct DpiMaps {
    PointMapFunction to_logical = nullptr;
    PointMapFunction to_physical = nullptr;
};

DpiMaps load_dpi_maps() {
    DpiMaps maps;
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (!user32) return maps;
    const char* pairs[2][2] = {
        {"PhysicalToLogicalPointForPerMonitorDPI", "LogicalToPhysicalPointForPerMonitorDPI"},
        {"PhysicalToLogicalPoint", "LogicalToPhysicalPoint"}};
    for (const auto& pair : pairs) {
        auto to_logical = reinterpret_cast<PointMapFunction>(
            reinterpret_cast<void*>(GetProcAddress(user32, pair[0])));
        auto to_physical = reinterpret_cast<PointMapFunction>(
            reinterpret_cast<void*>(GetProcAddress(user32, pair[1])));
        if (to_logical && to_physical) return {to_logical, to_physical};
    }
    return maps;
}

// Looked up once, on the first caret read. A flag, not a static initialised
// by a call: the program has one thread, and the guarded initialisation the
// compiler makes for such a static imports, with GCC 13's runtime on,
// condition-variable functions that Windows XP lacks.
const DpiMaps& dpi_maps() {
    static DpiMaps maps;
    static bool loaded = false;
    if (!loaded) {
        maps = load_dpi_maps();
        loaded = true;
    }
    return maps;
}

// The caret's window and the maps, as the pure conversion hands them back.
struct MapContext {
    HWND window;
    const DpiMaps* maps;
};

bool apply_map(PointMapFunction function, HWND window, IntPair* point) {
    POINT p = {point->x, point->y};
    if (!function(window, &p)) return false;
    *point = {p.x, p.y};
    return true;
}

bool to_logical(IntPair* point, void* context) {
    auto* c = static_cast<MapContext*>(context);
    return apply_map(c->maps->to_logical, c->window, point);
}

bool to_physical(IntPair* point, void* context) {
    auto* c = static_cast<MapContext*>(context);
    return apply_map(c->maps->to_physical, c->window, point);
}

PixelRect pixel_rect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

bool on_a_monitor(IntPair point) {
    return MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONULL) != nullptr;
}

// A window whose content is on the screen now.
bool window_shown(HWND window) {
    return IsWindowVisible(window) && !IsIconic(GetAncestor(window, GA_ROOT));
}

bool system_caret(const GUITHREADINFO& info, IntPair* point) {
    HWND window = info.hwndCaret;
    if (!window_shown(window)) return false;
    POINT origin = {0, 0};
    RECT window_rect;
    if (!ClientToScreen(window, &origin) || !GetWindowRect(window, &window_rect)) return false;

    MapContext context = {window, &dpi_maps()};
    const bool scaled = context.maps->to_logical != nullptr;
    PixelRect caret = caret_rect_on_screen(pixel_rect(info.rcCaret), {origin.x, origin.y},
                                           scaled ? to_logical : nullptr,
                                           scaled ? to_physical : nullptr, &context);
    if (!fit_caret_to_window(&caret, pixel_rect(window_rect))) return false;
    *point = caret_point(caret);
    return on_a_monitor(*point);
}

// Accessibility rectangles are physical screen pixels already.
bool published_caret(HWND window, IntPair* point) {
    if (!window_shown(window)) return false;
    PixelRect caret;
    RECT window_rect;
    if (!accessible_caret_rect(window, &caret) || !GetWindowRect(window, &window_rect))
        return false;
    if (!fit_caret_to_window(&caret, pixel_rect(window_rect))) return false;
    *point = caret_point(caret);
    return on_a_monitor(*point);
}

bool focused_control(HWND window, IntPair area, IntPair* point) {
    RECT rect;
    if (!window_shown(window) || !GetWindowRect(window, &rect)) return false;
    return focus_point(pixel_rect(rect), area, point) && on_a_monitor(*point);
}

} // namespace

CaretSighting read_caret_sighting(IntPair area) {
    CaretSighting seen = {};
    GUITHREADINFO info = {};
    // The size must be exact (48 bytes here): other sizes are refused.
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(0, &info)) return seen;
    seen.menu_or_drag =
        (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE | GUI_INMOVESIZE)) !=
        0;
    // GUI_CARETBLINKING is not asked for: some toolkits keep their caret
    // hidden, and Wine sets the flag for any caret.
    if (info.hwndCaret) {
        seen.found = system_caret(info, &seen.point);
        seen.window = info.hwndCaret;
        return seen;
    }
    if (!info.hwndFocus) return seen;
    seen.window = info.hwndFocus;
    seen.found = published_caret(info.hwndFocus, &seen.point) ||
                 focused_control(info.hwndFocus, area, &seen.point);
    return seen;
}
