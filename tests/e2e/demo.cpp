// The demo behind tools/run on a machine without a display: the test picture
// with some text on it, the real brisvane.exe, and the pointer led along a
// path while whole-screen frames are written as BMP files (tools/run turns
// them into PNG files and an animated GIF). It walks through normal mode, the
// mirror at the screen edge, the colour blocks with the tooltip, the tray
// menu, magnifying-glass mode and, in a second run, bicubic smoothing.
#include "tests/e2e/picture.h"
#include "tests/e2e/probe.h"
#include "tests/e2e/product.h"

#include "resources/resource.h"

#include <cstdio>
#include <string>
#include <vector>

namespace e2e {
namespace {

// Screen copies never contain the pointer, so frames of normal mode get an
// arrow drawn in: 'X' black outline, '.' white inside.
const char* const kArrow[] = {
    "X",        "XX",       "X.X",       "X..X",       "X...X",       "X....X",
    "X.....X",  "X......X", "X.......X", "X........X", "X.....XXXXX", "X..X..X",
    "X.X X..X", "XX  X..X", "X    X..X", "     X..X",  "      XX",
};

void draw_pointer(Grab& g, int px, int py) {
    for (int row = 0; row < static_cast<int>(sizeof kArrow / sizeof *kArrow); ++row)
        for (int col = 0; kArrow[row][col]; ++col) {
            const char c = kArrow[row][col];
            const int x = px + col, y = py + row;
            if (c == ' ' || !g.contains(x, y)) continue;
            const int w = g.area.right - g.area.left;
            g.pixels[(y - g.area.top) * w + (x - g.area.left)] = c == 'X' ? 0x000000 : 0xFFFFFF;
        }
}

struct Demo {
    std::string out_dir;
    int frame = 0;
    bool ok = true;

    void shoot(bool with_pointer) {
        const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        Grab g = settled_grab(screen);
        if (with_pointer) {
            POINT p{};
            GetCursorPos(&p);
            draw_pointer(g, p.x, p.y);
        }
        char name[32];
        std::snprintf(name, sizeof name, "demo_%03d.bmp", frame++);
        if (!save_bmp_file(g, out_dir + name)) {
            std::fprintf(stderr, "demo: cannot write %s%s\n", out_dir.c_str(), name);
            ok = false;
        }
    }

    void walk(const std::vector<POINT>& path, bool with_pointer) {
        for (const POINT& p : path) {
            if (!move_pointer(p.x, p.y)) std::fprintf(stderr, "demo: pointer did not settle\n");
            shoot(with_pointer);
        }
    }
};

} // namespace

int run_demo(const char* exe, const char* out_dir) {
    Demo demo;
    demo.out_dir = out_dir;
    if (!demo.out_dir.empty() && demo.out_dir.back() != '\\') demo.out_dir += '\\';

    TestPicture picture({}, true);
    if (!picture.window()) {
        std::fprintf(stderr, "demo: the picture window could not be created\n");
        return 1;
    }
    move_pointer(140, 160);
    ProductRun run(exe);
    // Layered capture makes magnifying-glass mode work from a snapshot, the
    // way that mode looks right under Wine (see docs/testing.md).
    if (!run.launch("[option]\nlayered=1\n")) {
        std::fprintf(stderr, "demo: %s did not start\n", exe);
        return 1;
    }
    HWND loupe = run.loupe();
    wait_until([&] { return IsWindowVisible(loupe) != 0; });

    // Along the large title, then over the small text.
    demo.walk({{140, 160},
               {190, 165},
               {240, 170},
               {290, 160},
               {340, 165},
               {390, 170},
               {440, 160},
               {490, 165},
               {540, 170}},
              true);
    demo.walk({{150, 266}, {230, 284}, {310, 302}, {390, 320}, {470, 338}, {550, 356}}, true);
    // To the right edge, where the loupe mirrors to the left of the pointer.
    demo.walk({{760, 360}, {880, 380}, {960, 400}, {1000, 420}}, true);
    // The colour blocks: the tooltip reads out the pixel under the pointer.
    demo.walk({{96, 600}, {192, 600}, {288, 600}}, true);

    // The popup menu from the tray icon.
    PostMessageA(loupe, WM_USER + 10, 1, WM_RBUTTONUP);
    if (wait_window(run.pid(), "#32768")) {
        demo.shoot(true);
        demo.shoot(true);
        hold_keys({VK_ESCAPE}, 60);
        wait_until([&] { return visible_top_windows(run.pid(), "#32768").empty(); });
    } else {
        std::fprintf(stderr, "demo: the tray menu did not open\n");
    }

    // Magnifying-glass mode: the loupe sits on the pointer, which it hides.
    PostMessageA(loupe, WM_COMMAND, IDM_LOUPE_MODE, 0);
    demo.walk({{200, 160},
               {260, 165},
               {320, 170},
               {380, 165},
               {440, 160},
               {500, 300},
               {560, 300},
               {620, 300}},
              false);

    DWORD code = 1;
    if (!run.exit_by_menu(kPatience, &code) || code != 0) {
        std::fprintf(stderr, "demo: the program did not exit cleanly\n");
        demo.ok = false;
    }

    // Started again with bicubic smoothing at 600 %: the title's edges and
    // the colour blocks' borders enlarged smoothly.
    ProductRun smooth(exe);
    if (smooth.launch("[option]\nsmooth=2\nmagnify=600\n")) {
        move_pointer(150, 160);
        wait_until([&] { return IsWindowVisible(smooth.loupe()) != 0; });
        demo.walk({{150, 160}, {250, 170}, {350, 165}, {128, 580}, {224, 600}}, true);
        if (!smooth.exit_by_menu(kPatience, &code) || code != 0) {
            std::fprintf(stderr, "demo: the smoothing run did not exit cleanly\n");
            demo.ok = false;
        }
    } else {
        std::fprintf(stderr, "demo: %s did not start with smoothing\n", exe);
        demo.ok = false;
    }
    std::printf("demo: %d frames written to %s\n", demo.frame, out_dir);
    return demo.ok ? 0 : 1;
}

} // namespace e2e
