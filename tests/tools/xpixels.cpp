// Counts the pixels of one colour in a rectangle of a window, for tests that
// look at the program from outside. Prints "count minY maxY" (-1 when none).
// Usage: xpixels WINDOW X Y W H RRGGBB [TOLERANCE per channel, default 0]
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 7 && argc != 8) {
        std::fprintf(stderr, "usage: xpixels WINDOW X Y W H RRGGBB [TOLERANCE]\n");
        return 2;
    }
    const auto window = static_cast<xcb_window_t>(std::stoul(argv[1], nullptr, 0));
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
    const int w = std::atoi(argv[4]), h = std::atoi(argv[5]);
    const unsigned long rgb = std::stoul(argv[6], nullptr, 16);
    const int tolerance = argc == 8 ? std::atoi(argv[7]) : 0;
    const int want[3] = {static_cast<int>(rgb >> 16 & 0xff), static_cast<int>(rgb >> 8 & 0xff),
                         static_cast<int>(rgb & 0xff)};
    // The connection goes on every path: a window that vanished is no leak.
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    auto* img = xcb_connection_has_error(c)
                    ? nullptr
                    : xcb_get_image_reply(c,
                                          xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, static_cast<int16_t>(x),
                                                        static_cast<int16_t>(y), static_cast<uint16_t>(w),
                                                        static_cast<uint16_t>(h), ~0u),
                                          nullptr);
    xcb_disconnect(c);
    if (!img) return 3;
    const uint8_t* data = xcb_get_image_data(img);
    const int len = xcb_get_image_data_length(img);
    if (len < w * h * 4) {  // 24-bit colour in 32-bit pixels expected
        std::free(img);
        return 4;
    }
    long count = 0;
    int minY = -1, maxY = -1;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const uint8_t* p = data + (row * w + col) * 4;  // B G R X
            const int got[3] = {p[2], p[1], p[0]};
            bool near = true;
            for (int k = 0; k < 3; ++k) near = near && std::abs(got[k] - want[k]) <= tolerance;
            if (!near) continue;
            ++count;
            if (minY < 0) minY = row;
            maxY = row;
        }
    std::printf("%ld %d %d\n", count, minY, maxY);
    std::free(img);
    return 0;
}
