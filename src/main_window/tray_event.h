#pragma once

namespace stock {

// A tray callback that arrives as a mouse move carries the tray's mouse
// message in its x coordinate: x in twips over the screen's twips per pixel,
// each rounded to a whole number (halves to even), divided with truncation.
// 7740 twips at 15 twips per pixel is 516, a right press.
int trayEventFromTwips(float x, float twipsPerPixel);

}  // namespace stock
