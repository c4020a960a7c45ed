#pragma once

namespace corvat {

struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where the main window opens on a screen of the given size: 85 % of each
// side, centred.
WindowPlacement MainWindowPlacement(int screenWidth, int screenHeight);

}  // namespace corvat
