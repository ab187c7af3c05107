#include "logonui/FieldText.h"

#include "Console.h"

#include <shlguid.h>

#include <cwchar>

namespace HxHost {

namespace {

template <size_t N> const wchar_t* Named(const wchar_t* const (&names)[N], unsigned value) {
    return value < N ? names[value] : L"?";
}

// Field-type GUIDs of newer SDKs' ShlGuid.h that mingw-w64's lacks.
constexpr GUID kStandaloneSubmitButton = {0x0b7b0ad8, 0xcc36, 0x4d59, {0x80, 0x2b, 0x82, 0xf7, 0x14, 0xfa, 0x70, 0x22}};
constexpr GUID kStyleLinkAsButton = {0x088fa508, 0x94a6, 0x4430, {0xa4, 0xcb, 0x6f, 0xc6, 0xe3, 0xc0, 0xb9, 0xe2}};

struct GuidName {
    const GUID* guid;
    const wchar_t* name;
};
const GuidName kFieldGuids[] = {{&CPFG_LOGON_USERNAME, L"CPFG_LOGON_USERNAME"},
                                {&CPFG_LOGON_PASSWORD, L"CPFG_LOGON_PASSWORD"},
                                {&CPFG_SMARTCARD_USERNAME, L"CPFG_SMARTCARD_USERNAME"},
                                {&CPFG_SMARTCARD_PIN, L"CPFG_SMARTCARD_PIN"},
                                {&CPFG_CREDENTIAL_PROVIDER_LOGO, L"CPFG_CREDENTIAL_PROVIDER_LOGO"},
                                {&CPFG_CREDENTIAL_PROVIDER_LABEL, L"CPFG_CREDENTIAL_PROVIDER_LABEL"},
                                {&kStandaloneSubmitButton, L"CPFG_STANDALONE_SUBMIT_BUTTON"},
                                {&kStyleLinkAsButton, L"CPFG_STYLE_LINK_AS_BUTTON"}};

const wchar_t* const kFieldOptions[] = {L"CPCFO_ENABLE_PASSWORD_REVEAL", L"CPCFO_IS_EMAIL_ADDRESS",
                                        L"CPCFO_ENABLE_TOUCH_KEYBOARD_AUTO_INVOKE", L"CPCFO_NUMBERS_ONLY",
                                        L"CPCFO_SHOW_ENGLISH_KEYBOARD"};

} // namespace

const wchar_t* ScenarioName(CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario) {
    static const wchar_t* const names[] = {L"CPUS_INVALID",         L"CPUS_LOGON",  L"CPUS_UNLOCK_WORKSTATION",
                                           L"CPUS_CHANGE_PASSWORD", L"CPUS_CREDUI", L"CPUS_PLAP"};
    return static_cast<unsigned>(scenario) < ARRAYSIZE(names) ? names[scenario] : L"CPUS_INVALID";
}

const wchar_t* FieldTypeName(CREDENTIAL_PROVIDER_FIELD_TYPE type) {
    static const wchar_t* const names[] = {L"CPFT_INVALID",     L"CPFT_LARGE_TEXT",   L"CPFT_SMALL_TEXT",
                                           L"CPFT_COMMAND_LINK", L"CPFT_EDIT_TEXT",    L"CPFT_PASSWORD_TEXT",
                                           L"CPFT_TILE_IMAGE",   L"CPFT_CHECKBOX",     L"CPFT_COMBOBOX",
                                           L"CPFT_SUBMIT_BUTTON"};
    return Named(names, type);
}

const wchar_t* FieldStateName(CREDENTIAL_PROVIDER_FIELD_STATE state) {
    static const wchar_t* const names[] = {L"CPFS_HIDDEN", L"CPFS_DISPLAY_IN_SELECTED_TILE",
                                           L"CPFS_DISPLAY_IN_DESELECTED_TILE", L"CPFS_DISPLAY_IN_BOTH"};
    return Named(names, state);
}

const wchar_t* InteractiveStateName(CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE state) {
    static const wchar_t* const names[] = {L"CPFIS_NONE", L"CPFIS_READONLY", L"CPFIS_DISABLED", L"CPFIS_FOCUSED"};
    return Named(names, state);
}

const wchar_t* ResponseName(CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE response) {
    static const wchar_t* const names[] = {L"CPGSR_NO_CREDENTIAL_NOT_FINISHED", L"CPGSR_NO_CREDENTIAL_FINISHED",
                                           L"CPGSR_RETURN_CREDENTIAL_FINISHED",
                                           L"CPGSR_RETURN_NO_CREDENTIAL_FINISHED"};
    return Named(names, response);
}

std::wstring FieldOptionsText(CREDENTIAL_PROVIDER_CREDENTIAL_FIELD_OPTIONS options) {
    std::wstring text;
    for (unsigned bit = 0; bit < 32; ++bit) {
        if (!(static_cast<unsigned>(options) & (1u << bit)))
            continue;
        const std::wstring name =
            bit < ARRAYSIZE(kFieldOptions) ? std::wstring(kFieldOptions[bit]) : L"0x" + std::to_wstring(1u << bit);
        text += (text.empty() ? L"" : L" | ") + name;
    }
    return text.empty() ? L"CPCFO_NONE" : text;
}

std::wstring FieldGuidName(const GUID& guid) {
    if (IsEqualGUID(guid, GUID_NULL))
        return std::wstring();
    for (const GuidName& known : kFieldGuids)
        if (IsEqualGUID(guid, *known.guid))
            return known.name;
    return GuidText(guid);
}

bool IsProviderField(const GUID& guid) {
    return IsEqualGUID(guid, CPFG_CREDENTIAL_PROVIDER_LOGO) || IsEqualGUID(guid, CPFG_CREDENTIAL_PROVIDER_LABEL);
}

std::wstring Quoted(const wchar_t* text) { return text ? L"\"" + std::wstring(text) + L"\"" : L"(null)"; }

std::wstring PasswordText(const wchar_t* text) {
    return std::to_wstring(text ? wcslen(text) : 0) + L" characters (not shown)";
}

std::wstring BitmapText(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return L"no bitmap";
    return L"bitmap " + std::to_wstring(info.bmWidth) + L" x " + std::to_wstring(info.bmHeight) + L", " +
           std::to_wstring(info.bmBitsPixel) + L" bits per pixel";
}

std::wstring StatusText(const wchar_t* text, CREDENTIAL_PROVIDER_STATUS_ICON icon) {
    static const wchar_t* const icons[] = {L"CPSI_NONE", L"CPSI_ERROR", L"CPSI_WARNING", L"CPSI_SUCCESS"};
    return Quoted(text ? text : L"") + L" (" + Named(icons, icon) + L")";
}

} // namespace HxHost
