#pragma once
// The tile's three fields: a picture and two titles, shown in both tile states and never interactive.

#include "platform/CredentialProviderApi.h"

namespace Corvani::Nuv::CredentialProvider {

enum FieldId : DWORD {
    FIELD_TILE_IMAGE = 0,
    FIELD_TITLE_ONE = 1,
    FIELD_TITLE_TWO = 2,
    FIELD_COUNT = 3,
};

struct FieldStatePair {
    CREDENTIAL_PROVIDER_FIELD_STATE state;
    CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE interactiveState;
};

struct FieldRow {
    DWORD fieldId;
    CREDENTIAL_PROVIDER_FIELD_TYPE type;
    const wchar_t* label;         // string-resource id, "-", English name
    const wchar_t* englishName;   // label when the string resource cannot be loaded
    FieldStatePair statePair;
    UINT textResourceId;          // text shown in the field
    const wchar_t* fallbackText;  // text when that resource cannot be loaded
};

inline constexpr FieldRow kFieldTable[FIELD_COUNT] = {
    {FIELD_TILE_IMAGE, CPFT_TILE_IMAGE, L"8000-Tile Image", L"Tile Image", {CPFS_DISPLAY_IN_BOTH, CPFIS_NONE},
     8000, L"PICTURE"},
    {FIELD_TITLE_ONE, CPFT_LARGE_TEXT, L"8010-Title1", L"Title1", {CPFS_DISPLAY_IN_BOTH, CPFIS_NONE}, 9014,
     L"TITLE ONE"},
    {FIELD_TITLE_TWO, CPFT_SMALL_TEXT, L"8010-Title2", L"Title2", {CPFS_DISPLAY_IN_BOTH, CPFIS_NONE}, 9023,
     L"TITLE TWO"},
};

} // namespace Corvani::Nuv::CredentialProvider
