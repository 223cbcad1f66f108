// Screenshots of the Windows test suites (Win32 and end to end) as 24-bit BMP
// files, which every viewer and ImageMagick read; tools/test turns them into
// PNG files.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

// The folder screenshots go to: BRISVANE_SHOTS (created when missing), else
// the current folder; with a trailing backslash unless empty.
inline std::string shots_dir() {
    std::string dir;
    if (const char* env = std::getenv("BRISVANE_SHOTS")) dir = env;
    if (!dir.empty()) {
        CreateDirectoryA(dir.c_str(), nullptr);
        if (dir.back() != '\\') dir += '\\';
    }
    return dir;
}

// Writes a width x height image whose pixel (x, y) is rgb(x, y), 0xRRGGBB.
inline bool write_bmp24(const std::string& path, int width, int height,
                        const std::function<uint32_t(int x, int y)>& rgb) {
    if (width <= 0 || height <= 0) return false;
    const int stride = (3 * width + 3) & ~3;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    fh.bfType = 0x4D42; // "BM"
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + stride * height;
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = height; // bottom-up: every reader understands it
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = rgb(x, y);
            uint8_t* px = &rows[static_cast<size_t>(height - 1 - y) * stride + 3 * x];
            px[0] = c & 0xFF;
            px[1] = (c >> 8) & 0xFF;
            px[2] = (c >> 16) & 0xFF;
        }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 &&
                    std::fwrite(&ih, sizeof ih, 1, f) == 1 &&
                    std::fwrite(rows.data(), rows.size(), 1, f) == 1;
    return std::fclose(f) == 0 && ok;
}
