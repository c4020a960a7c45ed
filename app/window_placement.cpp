#include "window_placement.h"

namespace corvat {

namespace {

// The factor is the single-precision number nearest 0.85 (a little above
// it), and the product is taken in extended precision before the fraction
// is dropped. Together this gives exactly W * 85 / 100 rounded down, so the
// window never comes out one pixel short of what users of the older program
// are used to.
constexpr float kMainWindowShare = 0.85f;

int Share(int side) {
    return static_cast<int>(static_cast<long double>(side) *
                            static_cast<long double>(kMainWindowShare));
}

}  // namespace

WindowPlacement MainWindowPlacement(int screenWidth, int screenHeight) {
    WindowPlacement placement;
    placement.width = Share(screenWidth);
    placement.height = Share(screenHeight);
    placement.x = (screenWidth - placement.width) / 2;
    placement.y = (screenHeight - placement.height) / 2;
    return placement;
}

}  // namespace corvat
