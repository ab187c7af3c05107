#include "Picture.h"

#include "common/PngEncoder.h"
#include "platform/UniqueResource.h"

#include <vector>

using Corvani::Nuv::Platform::UniqueFileHandle;
using Corvani::Nuv::Platform::WindowDC;

namespace HxTools {

Canvas::Canvas(int width, int height) : _width(width), _height(height), _dc(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    _bitmap.reset(CreateDIBSection(_dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (_bitmap) {
        _bits = static_cast<const BYTE*>(bits);
        _selection.emplace(_dc.get(), _bitmap.get());
    }
}

bool Canvas::SavePng(const std::wstring& path) const {
    if (!_bits)
        return false;
    GdiFlush();
    std::vector<std::uint8_t> rgb(static_cast<size_t>(_width) * _height * 3);
    for (size_t pixel = 0; pixel < rgb.size() / 3; ++pixel) { // blue, green, red, unused
        rgb[pixel * 3] = _bits[pixel * 4 + 2];
        rgb[pixel * 3 + 1] = _bits[pixel * 4 + 1];
        rgb[pixel * 3 + 2] = _bits[pixel * 4];
    }
    const std::vector<std::uint8_t> png = EncodePng(_width, _height, rgb.data());
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), png.data(), static_cast<DWORD>(png.size()), &written, nullptr) &&
           written == png.size();
}

bool SaveWindowPicture(HWND window, const std::wstring& path) {
    RECT area = {};
    GetClientRect(window, &area);
    Canvas canvas(area.right, area.bottom);
    const WindowDC source(window);
    return canvas.valid() &&
           BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), source.get(), 0, 0, SRCCOPY) &&
           canvas.SavePng(path);
}

} // namespace HxTools
