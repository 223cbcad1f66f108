// The floor for tools/bench-idle: the least a program can do and still make
// the calls the loupe's tracking tick makes at the default settings (37 x 37
// area at 300 %, normal mode, tooltip on, hotkey Ctrl alone, 10 ms timer), in
// the same order, on a window of the same kind. It shares no code with the
// product, so whatever the product spends beyond this is the product's own.
//
// Per tick: the key poll, the cursor, then either (four ticks in five at rest)
// the topmost re-assert, or a full refresh: monitor, move, capture into the
// block, invalidate, tooltip text and position. The paint enlarges the block
// with one StretchBlt and draws the frame and the centre marker.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>

namespace {

constexpr int kArea = 37;            // captured area, each side
constexpr int kMagnify = 300;        // percent
constexpr int kImage = kArea * 3;    // 111
constexpr int kWindow = kImage + 4;  // two-pixel frame on every side
constexpr int kBlock = kArea + 3;    // margin: one left/top, two right/bottom
constexpr int kHalf = kArea / 2;     // cursor pixel within the area
constexpr int kOffset = 11;          // loupe corner from the cursor at 16 px, 135 degrees
constexpr UINT_PTR kTrackTimer = 11; // the product's timer id
constexpr UINT kIntervalMs = 10;     // the product's default interval

HDC capture_dc;
RECT screen_rect; // read once at start-up, as the product does
HPEN light_pen, gray_pen;
HWND tooltip;
TOOLINFOA tool = {};
POINT last_cursor = {-1, -1};
int still_ticks = 0;

void create_tooltip(HWND loupe) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, -40, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    static char initial[] = "(...)";
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = loupe;
    tool.uId = reinterpret_cast<UINT_PTR>(loupe);
    tool.lpszText = initial;
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

// The benchmark holds no key, and with Ctrl up the product's poll at the
// default hotkey stops after asking for Ctrl twice; then the freeze key.
void poll_keys() {
    GetAsyncKeyState(VK_CONTROL); // Ctrl+PrintScreen
    GetAsyncKeyState(VK_CONTROL); // the hotkey, Ctrl alone
    GetAsyncKeyState(VK_PAUSE);   // the freeze key
}

// The block is dark gray first, so an area reaching off the screen shows
// gray there; only the part on the screen is copied.
void capture(POINT cursor) {
    RECT block = {0, 0, kBlock, kBlock};
    FillRect(capture_dc, &block, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
    const int left = cursor.x - kHalf - 1;
    const int top = cursor.y - kHalf - 1;
    const RECT area = {left, top, left + kBlock, top + kBlock};
    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    RECT part;
    if (IntersectRect(&part, &area, &screen_rect)) {
        BitBlt(capture_dc, part.left - left, part.top - top, part.right - part.left,
               part.bottom - part.top, screen, part.left, part.top, SRCCOPY);
    }
    ReleaseDC(desktop, screen);
}

void update_tooltip(POINT cursor, int loupe_x, int tip_y, LONG monitor_right) {
    COLORREF colour = GetPixel(capture_dc, kHalf + 1, kHalf + 1);
    char text[80];
    std::snprintf(text, sizeof(text), "[%d%%](%ld, %ld) %d, %d, %d", kMagnify, cursor.x, cursor.y,
                  GetRValue(colour), GetGValue(colour), GetBValue(colour));
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = nullptr;
    // Kept inside the monitor on the right, with the width the new text gave it.
    RECT tip;
    GetWindowRect(tooltip, &tip);
    const int tip_width = tip.right - tip.left;
    const int tip_x =
        loupe_x + tip_width + 1 > monitor_right ? monitor_right - tip_width - 1 : loupe_x;
    SendMessageA(tooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(tip_x + 1, tip_y));
}

void CALLBACK tick(HWND loupe, UINT, UINT_PTR, DWORD) {
    poll_keys();
    POINT cursor;
    GetCursorPos(&cursor);
    const bool moved = cursor.x != last_cursor.x || cursor.y != last_cursor.y;
    // At rest, four ticks in five only keep the loupe on top, as in the product.
    if (!moved && ++still_ticks % 5 != 0) {
        SetWindowPos(loupe, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        return;
    }
    still_ticks = 0;

    // The product places within the cursor's monitor and reads the
    // tooltip's height to make room for it.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoA(MonitorFromPoint(cursor, MONITOR_DEFAULTTONULL), &monitor);
    RECT tip;
    GetWindowRect(tooltip, &tip);
    const int x = cursor.x + kOffset;
    const int y = cursor.y + kOffset;
    SetWindowPos(loupe, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);

    last_cursor = cursor;
    capture(cursor);
    InvalidateRect(loupe, nullptr, FALSE);
    update_tooltip(cursor, x, y + kWindow + 1, monitor.rcMonitor.right);
}

// Two etched rings of lines, then the XOR square around the cursor pixel.
void paint(HWND loupe) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(loupe, &ps);
    RECT client;
    GetClientRect(loupe, &client);
    StretchBlt(dc, 2, 2, kImage, kImage, capture_dc, 1, 1, kArea, kArea, SRCCOPY);
    const int r = client.right;
    const int b = client.bottom;
    const int lines[8][4] = {
        {0, 0, r, 0},     {0, 1, 0, b - 1}, {1, b - 2, r - 1, b - 2}, {r - 2, b - 2, r - 2, 1},
        {1, 1, r - 1, 1}, {1, 2, 1, b - 2}, {0, b - 1, r, b - 1},     {r - 1, 1, r - 1, b - 1}};
    for (int i = 0; i < 8; ++i) {
        SelectObject(dc, i < 4 ? light_pen : gray_pen);
        MoveToEx(dc, lines[i][0], lines[i][1], nullptr);
        LineTo(dc, lines[i][2], lines[i][3]);
    }
    const int m = kMagnify / 100;
    const int x0 = (kImage - m) / 2 + 1, x1 = x0 + m + 1;
    SetROP2(dc, R2_XORPEN);
    SelectObject(dc, GetStockObject(WHITE_PEN));
    MoveToEx(dc, x0, x0, nullptr);
    LineTo(dc, x1, x0);
    LineTo(dc, x1, x1);
    LineTo(dc, x0, x1);
    LineTo(dc, x0, x0);
    EndPaint(loupe, &ps);
}

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT: paint(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wparam, lparam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA window_class = {};
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = window_proc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    // Hollow, as the product's: the paint decides every pixel.
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    window_class.lpszClassName = "BRISVANE_TICK_FLOOR";
    RegisterClassA(&window_class);

    const DWORD ex_style = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED;
    HWND loupe = CreateWindowExA(ex_style, window_class.lpszClassName, "floor", WS_POPUP, 0, 0,
                                 kWindow, kWindow, nullptr, nullptr, instance, nullptr);
    if (!loupe) return 1;
    // An opaque layered window, as the product makes it where layering exists.
    SetLayeredWindowAttributes(loupe, 0, 255, LWA_ALPHA);

    // At the default settings (no smoothing) the product's block is a
    // screen-compatible bitmap, not a DIB section.
    screen_rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HDC screen = GetDC(nullptr);
    capture_dc = CreateCompatibleDC(screen);
    SelectObject(capture_dc, CreateCompatibleBitmap(screen, kBlock, kBlock));
    ReleaseDC(nullptr, screen);
    light_pen = CreatePen(PS_SOLID, 1, 0xFFF8F8);
    gray_pen = CreatePen(PS_SOLID, 1, 0x808080);

    create_tooltip(loupe);
    SetWindowPos(loupe, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetTimer(loupe, kTrackTimer, kIntervalMs, tick);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
