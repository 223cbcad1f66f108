// The test picture window and its thread (see picture.h).
#include "tests/e2e/picture.h"

#include "tests/e2e/probe.h"

namespace e2e {

uint32_t TestPicture::colour(int x, int y) {
    if (y >= 576 && y < 640) {
        if (x >= 64 && x < 128) return 0xFF0000;
        if (x >= 160 && x < 224) return 0xFFFFFF;
        if (x >= 256 && x < 320) return 0x000000;
    }
    const uint32_t r = x & 255, g = y & 255;
    const uint32_t b = 16 * ((x >> 8) + 4 * (y >> 8)) + ((x + y) & 15);
    return (r << 16) | (g << 8) | (b & 255);
}

namespace {

struct PictureData {
    int width = 0, height = 0;
    std::vector<uint32_t> bits; // top-down 0x00RRGGBB, as a 32-bit DIB wants
    bool demo_text = false;
};

void paint_picture(HWND w, const PictureData& d) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = d.width;
    bi.bmiHeader.biHeight = -d.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, d.width, d.height, 0, 0, 0, d.height, d.bits.data(), &bi,
                      DIB_RGB_COLORS);
    if (d.demo_text) {
        // Something worth magnifying: large and small text over the gradient.
        SetBkMode(dc, TRANSPARENT);
        HFONT big = CreateFontA(-64, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                ANTIALIASED_QUALITY, 0, "Arial");
        HFONT small = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                  NONANTIALIASED_QUALITY, 0, "Arial");
        HGDIOBJ old = SelectObject(dc, big);
        SetTextColor(dc, RGB(255, 255, 255));
        TextOutA(dc, 120, 120, "Brisvane", 8);
        SelectObject(dc, small);
        SetTextColor(dc, RGB(0, 0, 0));
        const char* line =
            "The loupe follows the pointer and shows every pixel three times larger.";
        for (int i = 0; i < 6; ++i)
            TextOutA(dc, 120, 260 + 18 * i, line, lstrlenA(line));
        SelectObject(dc, old);
        DeleteObject(big);
        DeleteObject(small);
    }
    EndPaint(w, &ps);
}

LRESULT CALLBACK picture_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        auto* d = reinterpret_cast<PictureData*>(GetWindowLongPtrA(w, GWLP_USERDATA));
        if (d) {
            paint_picture(w, *d);
            return 0;
        }
        break;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

LRESULT CALLBACK patch_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(w, &r);
        HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(w, GWLP_USERDATA)));
        FillRect(reinterpret_cast<HDC>(wp), &r, b);
        DeleteObject(b);
        return 1;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

void register_classes() {
    static bool done = false;
    if (done) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = picture_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = TestPicture::class_name();
    RegisterClassA(&wc);
    wc.lpfnWndProc = patch_proc;
    wc.lpszClassName = TestPicture::patch_class_name();
    RegisterClassA(&wc);
    done = true;
}

COLORREF to_colorref(uint32_t rgb) {
    return RGB(rgb >> 16, (rgb >> 8) & 255, rgb & 255);
}

} // namespace

TestPicture::TestPicture(std::vector<Patch> patches, bool demo_text)
    : patches_(std::move(patches)), demo_text_(demo_text) {
    created_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, thread_main, this, 0, &thread_id_);
    if (!thread_ || WaitForSingleObject(created_, kPatience) != WAIT_OBJECT_0 || !window_) return;
    if (demo_text_) {
        ready_ = true;
        return;
    }
    // The picture counts as shown once its pixels read back from the screen,
    // away from the patches.
    ready_ = wait_until([] {
        const int xs[] = {3, 300, 700, 1000}, ys[] = {5, 380, 700};
        for (int y : ys)
            for (int x : xs) {
                RECT r{x, y, x + 1, y + 1};
                if (grab_screen(r).at(x, y) != colour(x, y)) return false;
            }
        return true;
    });
}

TestPicture::~TestPicture() {
    if (thread_) {
        PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
    }
    if (created_) CloseHandle(created_);
}

DWORD WINAPI TestPicture::thread_main(void* self) {
    static_cast<TestPicture*>(self)->run();
    return 0;
}

void TestPicture::run() {
    register_classes();
    PictureData data;
    data.width = GetSystemMetrics(SM_CXSCREEN);
    data.height = GetSystemMetrics(SM_CYSCREEN);
    data.demo_text = demo_text_;
    data.bits.resize(static_cast<size_t>(data.width) * data.height);
    for (int y = 0; y < data.height; ++y)
        for (int x = 0; x < data.width; ++x)
            data.bits[y * data.width + x] = colour(x, y);

    const HINSTANCE inst = GetModuleHandleA(nullptr);
    window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, class_name(),
                              "probe picture", WS_POPUP, 0, 0, data.width, data.height, nullptr,
                              nullptr, inst, nullptr);
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&data));
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        UpdateWindow(window_);
    }
    for (const Patch& p : patches_) {
        DWORD ex = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | (p.activatable ? 0 : WS_EX_NOACTIVATE);
        HWND w = CreateWindowExA(ex, patch_class_name(), "probe patch", WS_POPUP, p.rect.left,
                                 p.rect.top, p.rect.right - p.rect.left, p.rect.bottom - p.rect.top,
                                 nullptr, nullptr, inst, nullptr);
        SetWindowLongPtrA(w, GWLP_USERDATA, static_cast<LONG_PTR>(to_colorref(p.rgb)));
        ShowWindow(w, SW_SHOWNOACTIVATE);
        UpdateWindow(w);
        patch_windows_.push_back(w);
    }
    SetEvent(created_);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    for (HWND w : patch_windows_)
        DestroyWindow(w);
    if (window_) DestroyWindow(window_);
}

} // namespace e2e
