#include "logonui/TilePicture.h"

#include "platform/UniqueResource.h"

using Corvani::Nuv::Platform::ScopedSelection;
using HxTools::Canvas;
using Corvani::Nuv::Platform::UniqueGdiObject;
using Corvani::Nuv::Platform::UniqueMemoryDC;

namespace HxHost {

namespace {

constexpr COLORREF kBackground = RGB(0, 84, 147);
constexpr COLORREF kCircle = RGB(20, 110, 180);
constexpr int kPictureSize = 192;
constexpr int kPictureTop = 24;
constexpr int kLogoSize = 28;

void DrawBitmap(const Canvas& canvas, HBITMAP bitmap, const RECT& area) {
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return;
    const UniqueMemoryDC source(CreateCompatibleDC(canvas.dc()));
    const ScopedSelection selection(source.get(), bitmap);
    SetStretchBltMode(canvas.dc(), HALFTONE);
    StretchBlt(canvas.dc(), area.left, area.top, area.right - area.left, area.bottom - area.top, source.get(), 0, 0,
               info.bmWidth, info.bmHeight, SRCCOPY);
}

void DrawPicture(const Canvas& canvas, HBITMAP picture) {
    const int left = (canvas.width() - kPictureSize) / 2;
    UniqueGdiObject circle(CreateEllipticRgn(left, kPictureTop, left + kPictureSize + 1, kPictureTop + kPictureSize + 1));
    SelectClipRgn(canvas.dc(), static_cast<HRGN>(circle.get()));
    UniqueGdiObject fill(CreateSolidBrush(kCircle));
    const RECT area = {left, kPictureTop, left + kPictureSize, kPictureTop + kPictureSize};
    FillRect(canvas.dc(), &area, static_cast<HBRUSH>(fill.get()));
    DrawBitmap(canvas, picture, area);
    SelectClipRgn(canvas.dc(), nullptr);
}

void DrawText(const Canvas& canvas, const std::wstring& text, int top, int height, int weight, COLORREF colour) {
    UniqueGdiObject font(CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, L"Segoe UI"));
    const ScopedSelection selection(canvas.dc(), font.get());
    SetTextColor(canvas.dc(), colour);
    SetBkMode(canvas.dc(), TRANSPARENT);
    RECT line = {8, top, canvas.width() - 8, top + height * 2};
    ::DrawTextW(canvas.dc(), text.c_str(), static_cast<int>(text.size()), &line,
                DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

} // namespace

void DrawTile(const Canvas& canvas, const TileLook& tile) {
    UniqueGdiObject background(CreateSolidBrush(kBackground));
    const RECT all = {0, 0, canvas.width(), canvas.height()};
    FillRect(canvas.dc(), &all, static_cast<HBRUSH>(background.get()));
    DrawPicture(canvas, tile.picture);
    DrawText(canvas, tile.title, kPictureTop + kPictureSize + 20, 30, FW_LIGHT, RGB(255, 255, 255));
    DrawText(canvas, tile.subtitle, kPictureTop + kPictureSize + 70, 17, FW_NORMAL, RGB(215, 228, 240));
    const int logoLeft = (canvas.width() - kLogoSize) / 2, logoTop = canvas.height() - kLogoSize - 2;
    DrawBitmap(canvas, tile.logo, {logoLeft, logoTop, logoLeft + kLogoSize, logoTop + kLogoSize});
}

} // namespace HxHost
