#include "platform/win32/program_icon.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace stock::win32 {
namespace {

// Drawing units: the design is 32 x 32.
struct Pen {
    HDC dc;
    double scale;
    int px(double v) const { return static_cast<int>(std::lround(v * scale)); }
    void rect(double x, double y, double w, double h, COLORREF fill) const {
        HBRUSH b = CreateSolidBrush(fill);
        RECT r = {px(x), px(y), std::max(px(x + w), px(x) + 1), std::max(px(y + h), px(y) + 1)};
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    void roundRect(double x, double y, double w, double h, double radius, COLORREF fill, COLORREF edge) const {
        HBRUSH b = CreateSolidBrush(fill);
        HPEN p = CreatePen(PS_SOLID, std::max(1, px(1.0)), edge);
        HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, p);
        RoundRect(dc, px(x), px(y), px(x + w), px(y + h), px(2 * radius), px(2 * radius));
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(b);
        DeleteObject(p);
    }
};

// A colour the drawing never uses: what keeps it is transparent.
constexpr COLORREF kKey = RGB(255, 0, 255);

}  // namespace

HICON drawProgramIcon(int size) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = size;
    bi.bmiHeader.biHeight = -size;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!colour || !bits) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, colour);

    const Pen p{dc, size / 32.0};
    p.rect(0, 0, 32, 32, kKey);
    p.roundRect(4.5, 3.5, 23, 27, 2.5, RGB(196, 140, 76), RGB(60, 40, 20));  // board
    p.rect(7, 7, 18, 21, RGB(255, 255, 240));                                // paper
    p.roundRect(11, 1.5, 10, 6, 1.5, RGB(170, 170, 180), RGB(40, 40, 40));   // clip
    p.rect(8, 9.5, 16, 4, RGB(213, 209, 243));                               // the newest line
    p.rect(9, 10.8, 12, 1.6, RGB(0, 0, 255));
    for (int i = 0; i < 4; ++i) p.rect(9, 15.5 + i * 3.0, i % 2 ? 10 : 13, 1.4, RGB(90, 90, 110));
    GdiFlush();
    SelectObject(dc, old);
    DeleteDC(dc);

    // Alpha: opaque where drawn, clear where the key colour stayed.
    auto* px = static_cast<std::uint32_t*>(bits);
    const std::uint32_t key = 0x00FF00FFu;
    for (int i = 0; i < size * size; ++i) px[i] = (px[i] & 0x00FFFFFFu) == key ? 0 : (px[i] | 0xFF000000u);
    std::vector<std::uint8_t> maskBits(static_cast<std::size_t>(((size + 15) / 16) * 2 * size), 0);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits.data());
    ICONINFO ii = {};
    ii.fIcon = TRUE;
    ii.hbmColor = colour;
    ii.hbmMask = mask;
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(colour);
    DeleteObject(mask);
    return icon;
}

}  // namespace stock::win32
