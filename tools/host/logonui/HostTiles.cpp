// LogonUI's reading of the tiles: each credential with its user (a V2 credential's SID), and every field
// with its type, its field-type GUID by name, its state, its value as LogonUI shows it and its options;
// the selected tile drawn as LogonUI lays it out.

#include "Console.h"
#include "logonui/FieldText.h"
#include "logonui/HostSession.h"
#include "logonui/TilePicture.h"

#include <algorithm>
#include <string>

using Corvani::Nuv::Platform::ComPtr;
using Corvani::Nuv::Platform::UniqueCoTaskString;
using Corvani::Nuv::Platform::UniqueGdiObject;

namespace HxHost {

namespace {

constexpr DWORD kMostComboBoxItems = 64; // a longer list is cut there

std::wstring Used(const wchar_t* what, DWORD field) {
    return std::wstring(what) + L": field " + std::to_wstring(field);
}

} // namespace

bool HostSession::ReadTiles() {
    _tiles.resize(_tileCount);
    for (DWORD i = 0; i < _tileCount; ++i) {
        if (!Call(L"GetCredentialAt", Index(i), [&] { return _provider->GetCredentialAt(i, _tiles[i].put()); }))
            return false;
        _credentialEvents.AddTile(_tiles[i].get());
        const Answer advised =
            Ask(L"ICredentialProviderCredential::Advise", [&] { return _tiles[i]->Advise(&_credentialEvents); });
        CheckOptional(advised, L" (tile " + std::to_wstring(i) + L")", L"the tile never updates its fields");
        DescribeTile(i, _tiles[i].get());
    }
    _selected = _options.tile != static_cast<DWORD>(-1) ? _options.tile
                : _defaultTile < _tileCount             ? _defaultTile
                                                        : 0;
    if (_selected >= _tileCount) {
        std::wstring happened = std::to_wstring(_tileCount) + L" tile(s)";
        if (_tileCount == 0 && _takesUserArray && !_userArrayGiven)
            happened += _options.userArray ? L" (the provider takes a user array and refused the one given)"
                                           : L" (the provider takes a user array, and --no-user-array left it out)";
        Fail(L"select a tile", L"a tile " + std::to_wstring(_selected), happened);
        return false;
    }
    if (!_options.tilePicture.empty())
        SaveTilePicture(selected());
    return true;
}

void HostSession::DescribeTile(DWORD index, ICredentialProviderCredential* tile) {
    const std::wstring user = TileUser(index, tile);
    ComPtr<ICredentialProviderCredentialWithFieldOptions> options;
    Ask(L"QueryInterface(ICredentialProviderCredentialWithFieldOptions)", [&] {
        return tile->QueryInterface(IID_ICredentialProviderCredentialWithFieldOptions, options.putVoid());
    });
    _road.Show(L"Tile " + std::to_wstring(index) + user + L":");
    for (const FieldDescriptor& field : _fields)
        DescribeField(tile, options.get(), field);
}

// " (V2, user S-1-5-21-... DOMAIN\name)", " (V2, the "Other user" tile)", nothing for a V1 credential.
// LogonUI shows a V2 credential only under a user it enumerates.
std::wstring HostSession::TileUser(DWORD index, ICredentialProviderCredential* tile) {
    ComPtr<ICredentialProviderCredential2> v2;
    if (FAILED(Ask(L"QueryInterface(ICredentialProviderCredential2)", [&] {
                   return tile->QueryInterface(IID_ICredentialProviderCredential2, v2.putVoid());
               }).hr) ||
        !v2)
        return std::wstring();
    UniqueCoTaskString sid;
    const Answer asked = Ask(L"GetUserSid", [&] { return v2->GetUserSid(sid.put()); });
    const std::wstring ofTile = L" (tile " + std::to_wstring(index) + L")";
    if (!Check(asked, ofTile))
        return L" (V2, no user)";
    if (!sid)
        return L" (V2, the \"Other user\" tile)";
    const auto user = std::find_if(_users.begin(), _users.end(),
                                   [&](const UserEntry& entry) { return _wcsicmp(entry.sid.c_str(), sid.get()) == 0; });
    if (user != _users.end())
        return L" (V2, user " + UserText(*user) + L")";
    if (_userArrayGiven)
        Fail(asked.call + ofTile, L"the SID of a user in the user array",
             std::wstring(sid.get()) + L", no user LogonUI shows");
    return L" (V2, user " + std::wstring(sid.get()) + L")";
}

// One line per field, as LogonUI reads it: type, label, field-type GUID, state, value and options.
void HostSession::DescribeField(ICredentialProviderCredential* tile,
                                ICredentialProviderCredentialWithFieldOptions* options, const FieldDescriptor& field) {
    CREDENTIAL_PROVIDER_FIELD_STATE state = CPFS_HIDDEN;
    CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE interactive = CPFIS_NONE;
    const Answer stateRead = Ask(L"GetFieldState", [&] { return tile->GetFieldState(field.id, &state, &interactive); });
    std::wstring line = L"  field " + std::to_wstring(field.id) + L" " + FieldTypeName(field.type) + L" " +
                        Quoted(field.label.c_str());
    if (!FieldGuidName(field.guid).empty())
        line += L" " + FieldGuidName(field.guid) +
                (IsProviderField(field.guid) ? L" (the provider's, not the tile's)" : L"");
    line += L": ";
    line += Check(stateRead, Index(field.id))
                ? std::wstring(FieldStateName(state)) + L", " + InteractiveStateName(interactive)
                : L"state " + Hex(stateRead.hr);
    line += FieldValue(tile, field);
    CREDENTIAL_PROVIDER_CREDENTIAL_FIELD_OPTIONS chosen = CPCFO_NONE;
    if (options &&
        SUCCEEDED(Ask(L"GetFieldOptions", [&] { return options->GetFieldOptions(field.id, &chosen); }).hr) &&
        chosen != CPCFO_NONE)
        line += L", options " + FieldOptionsText(chosen);
    _road.Show(line);
}

// ", " and the value the field's type has; empty when it has none or it cannot be read.
std::wstring HostSession::FieldValue(ICredentialProviderCredential* tile, const FieldDescriptor& field) {
    const DWORD id = field.id;
    switch (field.type) {
    case CPFT_LARGE_TEXT:
    case CPFT_SMALL_TEXT:
    case CPFT_COMMAND_LINK:
    case CPFT_EDIT_TEXT:
    case CPFT_PASSWORD_TEXT: {
        UniqueCoTaskString text;
        if (!Call(L"GetStringValue", Index(id), [&] { return tile->GetStringValue(id, text.put()); }))
            return std::wstring();
        return L", " + (field.type == CPFT_PASSWORD_TEXT ? PasswordText(text.get()) : Quoted(text.get()));
    }
    case CPFT_TILE_IMAGE: {
        HBITMAP raw = nullptr;
        const bool read = Call(L"GetBitmapValue", Index(id), [&] { return tile->GetBitmapValue(id, &raw); });
        const UniqueGdiObject bitmap(raw);
        return read ? L", " + BitmapText(raw) : std::wstring();
    }
    case CPFT_CHECKBOX: {
        BOOL checked = FALSE;
        UniqueCoTaskString label;
        if (!Call(L"GetCheckboxValue", Index(id), [&] { return tile->GetCheckboxValue(id, &checked, label.put()); }))
            return std::wstring();
        return std::wstring(checked ? L", checked" : L", not checked") + L", " + Quoted(label.get());
    }
    case CPFT_COMBOBOX:
        return ComboBoxValue(tile, id);
    case CPFT_SUBMIT_BUTTON: {
        DWORD adjacent = 0;
        if (!Call(L"GetSubmitButtonValue", Index(id), [&] { return tile->GetSubmitButtonValue(id, &adjacent); }))
            return std::wstring();
        return L", beside field " + std::to_wstring(adjacent);
    }
    default:
        return std::wstring();
    }
}

// ", 3 items: "CORP", "WINEHOST" (selected), "Other"".
std::wstring HostSession::ComboBoxValue(ICredentialProviderCredential* tile, DWORD field) {
    DWORD items = 0, chosen = 0;
    if (!Call(L"GetComboBoxValueCount", Index(field),
              [&] { return tile->GetComboBoxValueCount(field, &items, &chosen); }))
        return std::wstring();
    std::wstring text = L", " + std::to_wstring(items) + L" items";
    const DWORD shown = std::min(items, kMostComboBoxItems);
    for (DWORD item = 0; item < shown; ++item) {
        UniqueCoTaskString value;
        const bool read =
            Call(L"GetComboBoxValueAt", L"(" + std::to_wstring(field) + L", " + std::to_wstring(item) + L")",
                 [&] { return tile->GetComboBoxValueAt(field, item, value.put()); });
        text += (item == 0 ? L": " : L", ") + (read ? Quoted(value.get()) : L"?") +
                (item == chosen ? L" (selected)" : L"");
    }
    if (shown < items)
        text += L", and " + std::to_wstring(items - shown) + L" more";
    return chosen < items ? text : text + L", none selected";
}

// The selected tile drawn into the host's window, as LogonUI would show it, and saved as a PNG. The
// provider's logo is the small sign-in option under the tile; its label is no text of the tile.
void HostSession::SaveTilePicture(ICredentialProviderCredential* tile) {
    TileLook look;
    UniqueGdiObject picture, logo;
    std::wstring used;
    for (const FieldDescriptor& field : _fields) {
        const bool providers = IsProviderField(field.guid);
        UniqueCoTaskString text;
        if (field.type == CPFT_TILE_IMAGE && !(providers ? logo : picture)) {
            HBITMAP raw = nullptr;
            Ask(L"GetBitmapValue", [&] { return tile->GetBitmapValue(field.id, &raw); });
            (providers ? logo : picture).reset(raw);
            if (raw)
                used += (used.empty() ? L"" : L", ") + Used(providers ? L"provider logo" : L"picture", field.id);
        } else if (!providers && ((field.type == CPFT_LARGE_TEXT && look.title.empty()) ||
                                  (field.type == CPFT_SMALL_TEXT && look.subtitle.empty()))) {
            const bool large = field.type == CPFT_LARGE_TEXT;
            const Answer read = Ask(L"GetStringValue", [&] { return tile->GetStringValue(field.id, text.put()); });
            if (SUCCEEDED(read.hr) && text && text.get()[0]) {
                (large ? look.title : look.subtitle) = text.get();
                used += (used.empty() ? L"" : L", ") + Used(large ? L"large text" : L"small text", field.id);
            }
        }
    }
    look.picture = static_cast<HBITMAP>(picture.get());
    look.logo = static_cast<HBITMAP>(logo.get());
    const HxTools::Canvas canvas(kTilePictureWidth, kTilePictureHeight);
    DrawTile(canvas, look);
    SetWindowPos(_window, HWND_TOP, 0, 0, kTilePictureWidth, kTilePictureHeight, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    BitBlt(Corvani::Nuv::Platform::WindowDC(_window).get(), 0, 0, kTilePictureWidth, kTilePictureHeight, canvas.dc(), 0,
           0, SRCCOPY);
    if (canvas.SavePng(_options.tilePicture))
        PrintLine(L"Tile picture: " + _options.tilePicture + L" (" + (used.empty() ? L"no field drawn" : used) + L")");
    else
        Fail(L"save the tile picture", L"a PNG file at " + _options.tilePicture,
             L"error " + std::to_wstring(GetLastError()));
}

} // namespace HxHost
