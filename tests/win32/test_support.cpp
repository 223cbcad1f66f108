#include "tests/win32/test_support.h"
#include "engine/freeze.h"

#include "loupe/buffers.h"
#include "loupe/state.h"
#include "pixels/gray.h"
#include "settings/rules.h"
#include "settings/settings.h"

namespace test_support {

Dib24::Dib24(int width, int height) : width_(width), height_(height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    bitmap_ = create_dib24(dc_, width, height, &bits_);
    previous_ = SelectObject(dc_, bitmap_);
}

Dib24::~Dib24() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

COLORREF Dib24::at(int x, int y) const {
    GdiFlush();
    const BYTE* p = bits_ + y * stride() + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

void Dib24::set(int x, int y, COLORREF colour) {
    GdiFlush();
    BYTE* p = bits_ + y * stride() + 3 * x;
    p[0] = GetBValue(colour);
    p[1] = GetGValue(colour);
    p[2] = GetRValue(colour);
}

void Dib24::fill(COLORREF colour) {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            set(x, y, colour);
}

COLORREF pattern(int x, int y) {
    return RGB((x * 37 + y * 11 + 5) & 0xFF, (x * 13 + y * 41 + 90) & 0xFF,
               (x * 7 + y * 23 + 170) & 0xFF);
}

COLORREF inverted(COLORREF colour) {
    return ~colour & 0x00FFFFFF;
}

COLORREF grayed(COLORREF colour) {
    const BYTE g = gray_value(GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return RGB(g, g, g);
}

void reset_settings() {
    settings = initial_settings();
    clear_rules();
}

void reset_runtime_state() {
    handles = {};
    presence = {};
    tick_memory = {};
    geometry = {};
    tooltip_state = {};
    freeze = {};
    startup.layered_supported = 1;
    system_metric = GetSystemMetrics;
    read_cursor_pos = GetCursorPos;
    read_screen_metrics(); // as start-up reads it
}

void reset_engine_state() {
    // The loaded defaults of everything the drawing layer reads; the rest is
    // as initialised: normal mode, direct capture, marker on, no gray,
    // inversion or smoothing.
    reset_settings();
    settings.size = {37, 37};
    settings.magnify = 300;
    settings.ttdisp = 0;
    settings.maruwin = {0, 0};
    update_derived_sizes(AspectUpdate::Recompute);
    reset_runtime_state();
}

void fill_capture_with_pattern(int width, int height, int dx, int dy) {
    Dib24 block(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            block.set(x, y, pattern(x + dx, y + dy));
    BitBlt(capture_dc, 0, 0, width, height, block.dc(), 0, 0, SRCCOPY);
    GdiFlush();
}

void create_engine_buffers() {
    update_derived_sizes(AspectUpdate::Recompute);
    recreate_capture_buffer(settings.size.x + 3, settings.size.y + 3);
    fill_capture_with_pattern(settings.size.x + 3, settings.size.y + 3);
    if (settings.graybmp != 0 || settings.smooth != kSmoothNone) {
        recreate_source_buffer(nullptr, settings.size.x, settings.size.y);
    }
    if (settings.smooth) recreate_zoom_buffer(zoomed_size.x, zoomed_size.y);
    handles.light_frame_pen = CreatePen(PS_SOLID, 1, 0x00FFF8F8);
    handles.gray_frame_pen = CreatePen(PS_SOLID, 1, 0x00808080);
    handles.light_round_pen = CreatePen(PS_SOLID, 1, 0x00FAF0F0);
    handles.dark_round_pen = CreatePen(PS_SOLID, 2, 0x008C8080);
}

void release_engine_buffers() {
    delete_source_buffer();
    delete_zoom_buffer();
    if (capture_dc) DeleteDC(capture_dc);
    if (capture_bitmap) DeleteObject(capture_bitmap);
    capture_dc = nullptr;
    capture_bitmap = nullptr;
    capture_bits = nullptr;
    capture_buffer_size = {0, 0};
    for (HPEN* pen : {&handles.light_frame_pen, &handles.gray_frame_pen, &handles.light_round_pen,
                      &handles.dark_round_pen}) {
        if (*pen) DeleteObject(*pen);
        *pen = nullptr;
    }
}

bool item_checked(UINT id) {
    return (GetMenuState(handles.popup_menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool item_grayed(UINT id) {
    return (GetMenuState(handles.popup_menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

namespace {

struct PopupLook {
    bool paints_pattern;
    COLORREF colour;
};

LRESULT CALLBACK popup_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        const auto* look = reinterpret_cast<PopupLook*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        RECT client;
        GetClientRect(window, &client);
        if (look && look->paints_pattern) {
            Dib24 image(client.right, client.bottom);
            for (int y = 0; y < client.bottom; ++y)
                for (int x = 0; x < client.right; ++x)
                    image.set(x, y, pattern(x, y));
            BitBlt(dc, 0, 0, client.right, client.bottom, image.dc(), 0, 0, SRCCOPY);
        } else {
            HBRUSH brush = CreateSolidBrush(look ? look->colour : 0);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
        }
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        delete reinterpret_cast<PopupLook*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

const char* popup_class() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = popup_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = "EngineTestPopup";
        RegisterClassA(&wc);
        registered = true;
    }
    return "EngineTestPopup";
}

} // namespace

HWND create_popup(int x, int y, int width, int height, bool paints_pattern, COLORREF colour,
                  DWORD ex_style) {
    HWND window = CreateWindowExA(ex_style, popup_class(), "", WS_POPUP, x, y, width, height,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(new PopupLook{paints_pattern, colour}));
    return window;
}

bool same_region(HRGN a, HRGN b) {
    HRGN difference = CreateRectRgn(0, 0, 0, 0);
    const int kind = CombineRgn(difference, a, b, RGN_XOR);
    DeleteObject(difference);
    return kind == NULLREGION;
}

ForeignPatternWindow::ForeignPatternWindow(int x, int y, int width, int height)
    : x_(x), y_(y), width_(width), height_(height) {
    created_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    stalled_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, run, this, 0, &thread_id_);
    EXPECT_TRUE(wait_for_object(created_));
    const bool shown = wait_until([&] {
        return screen_pixel(x + 1, y + 2) == pattern(1, 2) &&
               screen_pixel(x + width - 2, y + height - 3) == pattern(width - 2, height - 3);
    });
    EXPECT_TRUE(shown) << "the pattern window never reached the screen";
}

ForeignPatternWindow::~ForeignPatternWindow() {
    PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
    wait_for_object(thread_);
    CloseHandle(thread_);
    CloseHandle(created_);
    CloseHandle(stalled_);
}

void ForeignPatternWindow::stall(DWORD ms) {
    PostThreadMessageA(thread_id_, WM_APP, ms, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(stalled_, 5000));
}

DWORD WINAPI ForeignPatternWindow::run(void* parameter) {
    auto* self = static_cast<ForeignPatternWindow*>(parameter);
    HWND window = create_popup(self->x_, self->y_, self->width_, self->height_, true);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetEvent(self->created_); // the queue exists now, so WM_QUIT can be posted
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_APP && !msg.hwnd) {
            SetEvent(self->stalled_);
            Sleep(static_cast<DWORD>(msg.wParam));
        }
        DispatchMessageA(&msg);
    }
    DestroyWindow(window);
    return 0;
}

void pump_messages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool wait_until(const std::function<bool()>& condition, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        pump_messages();
        if (condition()) return true;
        if (GetTickCount() - start > timeout_ms) return false;
        Sleep(10);
    }
}

bool wait_for_object(HANDLE object, DWORD timeout_ms) {
    return wait_until([&] { return WaitForSingleObject(object, 0) == WAIT_OBJECT_0; }, timeout_ms);
}

std::string clipboard_text() {
    std::string text;
    if (!OpenClipboard(nullptr)) return "(clipboard busy)";
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

COLORREF screen_pixel(int x, int y) {
    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(desktop, screen);
    return colour;
}

int cursor_display_count() {
    const int above = ShowCursor(TRUE);
    ShowCursor(FALSE);
    return above - 1;
}

void set_cursor_display_count(int count) {
    int now = cursor_display_count();
    while (now < count)
        now = ShowCursor(TRUE);
    while (now > count)
        now = ShowCursor(FALSE);
}

} // namespace test_support
