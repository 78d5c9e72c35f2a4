// The program's icon as a drawing: a clipboard board with a clip at the top
// and a stack of text lines, the newest line highlighted. Each front end
// paints these shapes, in order, on a 32 x 32 design grid.
#pragma once

#include <array>
#include <optional>

#include "core/layout/layout.h"

namespace stock {

// A rectangle with rounded corners (radius 0: square), filled, with an
// optional outline of `penWidth` centred on its edge.
struct IconShape {
    double x, y, w, h, radius;
    Rgb fill;
    std::optional<Rgb> pen;
    double penWidth;
};

inline constexpr double kIconDesignSize = 32.0;

inline const std::array<IconShape, 9> kProgramIconShapes = {{
    {4.5, 3.5, 23, 27, 2.5, {196, 140, 76}, Rgb{60, 40, 20}, 1.2},  // board
    {7, 7, 18, 21, 0, {255, 255, 240}, std::nullopt, 0},            // paper
    {11, 1.5, 10, 6, 1.5, {170, 170, 180}, Rgb{40, 40, 40}, 1.0},   // clip
    {8, 9.5, 16, 4, 0, {213, 209, 243}, std::nullopt, 0},           // the newest line
    {9, 10.8, 12, 1.6, 0, {0, 0, 255}, std::nullopt, 0},
    {9, 15.5, 13, 1.4, 0, {90, 90, 110}, std::nullopt, 0},  // older lines
    {9, 18.5, 10, 1.4, 0, {90, 90, 110}, std::nullopt, 0},
    {9, 21.5, 13, 1.4, 0, {90, 90, 110}, std::nullopt, 0},
    {9, 24.5, 10, 1.4, 0, {90, 90, 110}, std::nullopt, 0},
}};

}  // namespace stock
