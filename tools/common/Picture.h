#pragma once
// Pictures the tools save as PNG files: a canvas to draw on (a 32-bit DIB section selected into a memory
// DC) and a photograph of a window.

#include "platform/UniqueResource.h"

#include <windows.h>

#include <optional>
#include <string>

namespace HxTools {

class Canvas {
public:
    Canvas(int width, int height);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return _dc.get(); }
    int width() const { return _width; }
    int height() const { return _height; }
    bool valid() const { return _bits != nullptr; }
    // Writes the canvas as a 24-bit PNG; false (with GetLastError) when the file cannot be written.
    bool SavePng(const std::wstring& path) const;

private:
    int _width, _height;
    Corvani::Nuv::Platform::UniqueMemoryDC _dc;
    Corvani::Nuv::Platform::UniqueBitmap _bitmap;
    std::optional<Corvani::Nuv::Platform::ScopedSelection> _selection; // the bitmap in the DC
    const BYTE* _bits = nullptr;
};

// Copies what a window of this process shows into a PNG file.
bool SaveWindowPicture(HWND window, const std::wstring& path);

} // namespace HxTools
