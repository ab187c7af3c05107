#pragma once
// The tile as LogonUI lays it out when it is selected: the tile picture in a circle, the large text under
// it and the small text under that, centred over the sign-in screen's background; the provider's logo, when
// it has one, as the small sign-in option at the bottom.

#include "common/Picture.h"

#include <string>

namespace HxHost {

struct TileLook {
    HBITMAP picture = nullptr; // not owned; none: an empty circle
    std::wstring title;        // the first large text field
    std::wstring subtitle;     // the first small text field
    HBITMAP logo = nullptr;    // not owned; the CPFG_CREDENTIAL_PROVIDER_LOGO field's bitmap
};

constexpr int kTilePictureWidth = 400;
constexpr int kTilePictureHeight = 340;

void DrawTile(const HxTools::Canvas& canvas, const TileLook& tile);

} // namespace HxHost
