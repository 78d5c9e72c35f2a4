// Build tool, run on the build machine: writes the program's icon as a
// Windows .ico file with every size Windows asks for at the usual DPI
// settings, for the executable's resources.
//
// The picture is the program's icon design (main_window/program_icon_design.h),
// anti-aliased as the Qt front end paints it. Each pixel is the average of a
// grid of samples; a sample takes the colour of the last shape that covers
// it, a shape's outline being a band of the pen's width centred on its edge,
// as QPainter strokes it.
//
// Usage: program_icon_ico OUTPUT.ico
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/main_window/program_icon_design.h"

namespace {

using stock::IconShape;
using stock::Rgb;

// Signed distance from (px, py) to the shape's edge: negative inside.
double distance(const IconShape& s, double px, double py) {
    const double hx = s.w / 2, hy = s.h / 2;
    const double qx = std::abs(px - (s.x + hx)) - hx + s.radius;
    const double qy = std::abs(py - (s.y + hy)) - hy + s.radius;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - s.radius;
}

// RGBA, rows from the top, straight (not premultiplied) alpha.
std::vector<std::uint8_t> draw(int size) {
    constexpr int kSamples = 8;  // per pixel and axis
    const double unit = stock::kIconDesignSize / size;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0, covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double px = (x + (sx + 0.5) / kSamples) * unit;
                    const double py = (y + (sy + 0.5) / kSamples) * unit;
                    const Rgb* c = nullptr;
                    for (const IconShape& s : stock::kProgramIconShapes) {
                        const double d = distance(s, px, py);
                        if (s.pen && std::abs(d) <= s.penWidth / 2)
                            c = &*s.pen;
                        else if (d < 0)
                            c = &s.fill;
                    }
                    if (!c) continue;
                    r += c->r, g += c->g, b += c->b, covered += 1;
                }
            }
            std::uint8_t* p = &out[(static_cast<std::size_t>(y) * size + x) * 4];
            if (covered > 0) {
                p[0] = static_cast<std::uint8_t>(std::lround(r / covered));
                p[1] = static_cast<std::uint8_t>(std::lround(g / covered));
                p[2] = static_cast<std::uint8_t>(std::lround(b / covered));
                p[3] = static_cast<std::uint8_t>(std::lround(255.0 * covered / (kSamples * kSamples)));
            }
        }
    }
    return out;
}

void put16(std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, std::uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}
void put32be(std::string& s, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
}

// The classic icon image: a 32-bit DIB of twice the height (colour, then
// the AND mask), rows from the bottom.
std::string dibImage(int size, const std::vector<std::uint8_t>& rgba) {
    const std::uint32_t maskStride = static_cast<std::uint32_t>((size + 31) / 32 * 4);
    std::string s;
    put32(s, 40);
    put32(s, static_cast<std::uint32_t>(size));
    put32(s, static_cast<std::uint32_t>(size * 2));
    put16(s, 1);
    put16(s, 32);
    put32(s, 0);  // BI_RGB
    put32(s, static_cast<std::uint32_t>(size * size * 4) + maskStride * static_cast<std::uint32_t>(size));
    for (int i = 0; i < 4; ++i) put32(s, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            s += static_cast<char>(p[2]), s += static_cast<char>(p[1]), s += static_cast<char>(p[0]);
            s += static_cast<char>(p[3]);
        }
    // The mask marks the wholly transparent pixels.
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskStride, 0);
        for (int x = 0; x < size; ++x)
            if (rgba[(static_cast<std::size_t>(y) * size + x) * 4 + 3] == 0)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        for (const std::uint8_t bits : row) s += static_cast<char>(bits);
    }
    return s;
}

void pngChunk(std::string& s, const char* type, const std::string& data) {
    put32be(s, static_cast<std::uint32_t>(data.size()));
    const std::string body = type + data;
    s += body;
    put32be(s, static_cast<std::uint32_t>(
                   crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// The large sizes as PNG, as Windows stores them: far smaller than a DIB.
std::optional<std::string> pngImage(int size, const std::vector<std::uint8_t>& rgba) {
    std::string raw;
    for (int y = 0; y < size; ++y) {
        raw += '\0';  // no filter
        raw.append(reinterpret_cast<const char*>(&rgba[static_cast<std::size_t>(y) * size * 4]),
                   static_cast<std::size_t>(size) * 4);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return std::nullopt;
    packed.resize(packedSize);
    std::string header;
    put32be(header, static_cast<std::uint32_t>(size));
    put32be(header, static_cast<std::uint32_t>(size));
    header += '\x08';  // bits per channel
    header += '\x06';  // RGBA
    header += std::string(3, '\0');
    std::string s = "\x89PNG\r\n\x1a\n";
    pngChunk(s, "IHDR", header);
    pngChunk(s, "IDAT", packed);
    pngChunk(s, "IEND", "");
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.ico\n", argv[0]);
        return 2;
    }
    // 100 %, 125 %, 150 %, 200 % and 250 % of the small and large sizes,
    // and the shell's largest view.
    constexpr std::array kSizes = {16, 20, 24, 32, 40, 48, 64, 256};
    std::vector<std::string> images;
    for (int size : kSizes) {
        const auto rgba = draw(size);
        if (size < 256) {
            images.push_back(dibImage(size, rgba));
        } else if (auto png = pngImage(size, rgba)) {
            images.push_back(*png);
        } else {
            std::fprintf(stderr, "cannot compress the %dx%d image\n", size, size);
            return 1;
        }
    }
    std::string ico;
    put16(ico, 0);
    put16(ico, 1);  // icon
    put16(ico, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int size = kSizes[i];
        ico += static_cast<char>(size >= 256 ? 0 : size);  // 0 stands for 256
        ico += static_cast<char>(size >= 256 ? 0 : size);
        ico += '\0';  // no palette
        ico += '\0';
        put16(ico, 1);   // planes
        put16(ico, 32);  // bits per pixel
        put32(ico, static_cast<std::uint32_t>(images[i].size()));
        put32(ico, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const std::string& image : images) ico += image;
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(ico.data(), static_cast<std::streamsize>(ico.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
