#pragma once
// A picture of the whole X screen, taken from the X side by xwd (a Unix program, which Wine starts like
// any other), so that the tests see the pixels the X server shows rather than what GDI believes it drew.

#include <string>
#include <vector>
#include <windows.h>

namespace HxTest {

struct XScreenShot {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels; // row by row from the top left
    std::string error;            // why there is no picture; empty when there is one

    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Runs xwd on the root window and reads its XWD file back.
XScreenShot TakeXScreenShot();

} // namespace HxTest
