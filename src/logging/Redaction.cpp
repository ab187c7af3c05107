#include "logging/Redaction.h"

namespace Corvani::Nuv::Logging {

namespace {

using Kind = SensitiveValueKind;

// clang-format off
constexpr std::array<SensitiveKey, kSensitiveKeyCount> kSensitiveKeys = {{
    {L"\"faceData\"", Kind::Array},
    {L"\"otpInfo\"", Kind::Object},
    {L"\"clientToken\"", Kind::String},
    {L"\"hxReEnrollToken\"", Kind::String},
    {L"\"hxDeviceId\"", Kind::String},
    {L"\"idToken\"", Kind::String},
    {L"\"cloudKey\"", Kind::String},
    {L"\"passwordResetData\"", Kind::Object},
    {L"\"engineToken\"", Kind::String},
    {L"\"pwd\"", Kind::String},
    {L"\"authClaimToken\"", Kind::String},
    {L"\"provisionData\"", Kind::String},
    {L"\"reEnrollToken\"", Kind::String},
    {L"\"hxDeviceNonce\"", Kind::String},
    {L"\"deviceId\"", Kind::String},
    {L"\"OAuthTransId\"", Kind::String},
    {L"\"Profiles\"", Kind::String},
    {L"\"Subscriptions\"", Kind::String},
    {L"\"GlobalSetting\"", Kind::String},
    {L"\"riskAnalysisInfo\"", Kind::String},
    {L"\"image\"", Kind::String},
    {L"\"backupToken\"", Kind::String},
    {L"\"oTransId\"", Kind::String},
}};
// clang-format on

constexpr size_t npos = std::wstring::npos;
constexpr wchar_t kMask[] = L"X";

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

size_t SkipBlanks(const std::wstring& text, size_t pos) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    return pos;
}

wchar_t OpeningOf(Kind kind) {
    return kind == Kind::Array ? L'[' : kind == Kind::Object ? L'{' : L'"';
}

wchar_t ClosingOf(Kind kind) {
    return kind == Kind::Array ? L']' : kind == Kind::Object ? L'}' : L'"';
}

// Index of the quote that closes the string opened at `open`; a backslash escapes the character after it.
size_t FindStringEnd(const std::wstring& text, size_t open) {
    for (size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] == L'\\')
            ++i;
        else if (text[i] == L'"')
            return i;
    }
    return npos;
}

// Index of the character that closes the array or object opened at `open`, counting nesting of the same
// kind and skipping strings.
size_t FindNestedEnd(const std::wstring& text, size_t open, wchar_t opening, wchar_t closing) {
    size_t depth = 0;
    for (size_t i = open; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'"') {
            i = FindStringEnd(text, i);
            if (i == npos)
                return npos;
        } else if (c == opening) {
            ++depth;
        } else if (c == closing && --depth == 0) {
            return i;
        }
    }
    return npos;
}

size_t FindValueEnd(const std::wstring& text, size_t open, Kind kind) {
    return kind == Kind::String ? FindStringEnd(text, open)
                                : FindNestedEnd(text, open, OpeningOf(kind), ClosingOf(kind));
}

// Index of the opening character of the key's value, or npos when the key is not followed by a colon and
// a value of its kind.
size_t FindValueStart(const std::wstring& text, size_t afterKey, Kind kind) {
    size_t pos = SkipBlanks(text, afterKey);
    if (pos >= text.size() || text[pos] != L':')
        return npos;
    pos = SkipBlanks(text, pos + 1);
    if (pos >= text.size() || text[pos] != OpeningOf(kind))
        return npos;
    return pos;
}

// Masks the value opened at `open`; returns the index of the value's closing character, where the search
// for the key goes on (a closing quote may open the next occurrence of the key).
size_t MaskValue(std::wstring& text, size_t open, Kind kind) {
    const size_t close = FindValueEnd(text, open, kind);
    if (close == npos) {
        text.replace(open + 1, npos, kMask);
        return text.size();
    }
    if (close == open + 1 && kind != Kind::Object)
        return close; // an empty array or string stays as it is
    text.replace(open + 1, close - open - 1, kMask);
    return open + 2; // past the opening character and the mask
}

void RedactKey(std::wstring& text, const SensitiveKey& key) {
    size_t pos = text.find(key.text);
    while (pos != npos) {
        const size_t afterKey = pos + key.text.size();
        const size_t open = FindValueStart(text, afterKey, key.kind);
        // The search goes on from the key's closing quote, or the value's: either may open another
        // occurrence of the key, as in "pwd"pwd": "...".
        const size_t next = open == npos ? afterKey - 1 : MaskValue(text, open, key.kind);
        pos = text.find(key.text, next);
    }
}

} // namespace

const std::array<SensitiveKey, kSensitiveKeyCount>& SensitiveKeys() {
    return kSensitiveKeys;
}

void RedactSensitiveFields(std::wstring& text) {
    for (const SensitiveKey& key : kSensitiveKeys)
        RedactKey(text, key);
}

} // namespace Corvani::Nuv::Logging
