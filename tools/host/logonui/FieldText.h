#pragma once
// LogonUI's values by the names an integrator knows them by: usage scenarios, field types, states, status
// icons, serialization responses, field options, the field-type GUIDs; and a field's value as the host
// shows it (a password by its length only).

#include "platform/CredentialProviderApi.h"

#include <string>

namespace HxHost {

const wchar_t* ScenarioName(CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario);
const wchar_t* FieldTypeName(CREDENTIAL_PROVIDER_FIELD_TYPE type);
const wchar_t* FieldStateName(CREDENTIAL_PROVIDER_FIELD_STATE state);
const wchar_t* InteractiveStateName(CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE state);
const wchar_t* ResponseName(CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE response);
// "CPCFO_ENABLE_PASSWORD_REVEAL | CPCFO_NUMBERS_ONLY"; "CPCFO_NONE" for none.
std::wstring FieldOptionsText(CREDENTIAL_PROVIDER_CREDENTIAL_FIELD_OPTIONS options);
// "CPFG_LOGON_PASSWORD" for a known field-type GUID, the GUID itself for another; empty for GUID_NULL.
std::wstring FieldGuidName(const GUID& guid);
// The provider's logo or label: shown once for the provider, beside the tiles, not on a tile.
bool IsProviderField(const GUID& guid);

std::wstring Quoted(const wchar_t* text);
std::wstring PasswordText(const wchar_t* text); // "15 characters (not shown)"
std::wstring BitmapText(HBITMAP bitmap);         // "bitmap 48 x 32, 32 bits per pixel"
// A status text and icon a tile hands back: "\"Incorrect password or username.\" (CPSI_ERROR)".
std::wstring StatusText(const wchar_t* text, CREDENTIAL_PROVIDER_STATUS_ICON icon);

} // namespace HxHost
