// Masking of sensitive fields on any text with secrets planted by the target itself: each planted field
// is a sensitive key, blanks, a colon, blanks and a well-formed value of the key's kind, written with
// characters (U+E000 and up) that the rest of the text never holds.
// - When the rest of the text holds no colon, no planted key can lose its value to text around it: no
//   secret character may survive.
// - Whatever the rest holds: the result grows by at most one character per key occurrence, and masking
//   it again changes nothing.

#include "logging/Redaction.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace Corvani::Nuv::Logging;

namespace {

class Planter {
public:
    Planter(const uint8_t* data, size_t size) : _data(data), _size(size) {}

    bool More() const { return _at < _size; }
    unsigned Byte() { return _at < _size ? _data[_at++] : 0; }

    wchar_t Secret() { return static_cast<wchar_t>(0xE000 + Byte()); }

    std::wstring Blanks() {
        static const wchar_t* const blanks[] = {L"", L" ", L"\t", L"\r\n", L"  "};
        return blanks[Byte() % 5];
    }

    // A string's inside: secrets, escapes and any bracket, never a lone backslash at its end.
    std::wstring StringBody() {
        static const wchar_t* const pieces[] = {L"\\\"", L"\\\\", L"[", L"]", L"{", L"}", L":", L" ", L"\\n"};
        std::wstring body;
        for (unsigned n = Byte() % 6; n > 0; --n)
            body += Byte() % 3 == 0 ? std::wstring(pieces[Byte() % 9]) : std::wstring(1, Secret());
        return body;
    }

    // A value that ends at its own closer: same-kind nesting balanced, strings closed.
    std::wstring Value(SensitiveValueKind kind, int depth) {
        if (kind == SensitiveValueKind::String)
            return L"\"" + StringBody() + L"\"";
        const wchar_t open = kind == SensitiveValueKind::Array ? L'[' : L'{';
        const wchar_t close = kind == SensitiveValueKind::Array ? L']' : L'}';
        std::wstring value(1, open);
        for (unsigned n = Byte() % 4; n > 0; --n) {
            const unsigned choice = Byte() % 5;
            if (choice == 0 && depth < 4)
                value += Value(kind, depth + 1);
            else if (choice == 1)
                value += kind == SensitiveValueKind::Array ? L"{" : L"[";
            else if (choice == 2)
                value += L", ";
            else
                value += Value(SensitiveValueKind::String, depth + 1);
            value += Secret();
        }
        return value + close;
    }

    std::wstring Field() {
        const SensitiveKey& key = SensitiveKeys()[Byte() % kSensitiveKeyCount];
        return std::wstring(key.text) + Blanks() + L":" + Blanks() + Value(key.kind, 0);
    }

private:
    const uint8_t* _data;
    size_t _size;
    size_t _at = 0;
};

size_t KeyOccurrences(const std::wstring& text) {
    size_t count = 0;
    for (const SensitiveKey& key : SensitiveKeys())
        for (size_t at = text.find(key.text); at != std::wstring::npos; at = text.find(key.text, at + 1))
            ++count;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Planter planter(data, size);
    const bool colonFree = planter.Byte() % 2 == 0;
    std::wstring text;
    while (planter.More()) {
        const unsigned op = planter.Byte();
        if (op >= 0xE0) {
            text += planter.Field();
            continue;
        }
        wchar_t c = static_cast<wchar_t>(planter.Byte() | ((op & 0x3) == 3 ? 0x100 : 0));
        if (colonFree && c == L':')
            c = L';';
        text += c;
    }

    std::wstring once = text;
    RedactSensitiveFields(once);
    if (once.size() > text.size() + KeyOccurrences(text))
        std::abort();
    std::wstring twice = once;
    RedactSensitiveFields(twice);
    if (twice != once)
        std::abort();
    if (colonFree)
        for (wchar_t c : once)
            if (c >= 0xE000 && c <= 0xE0FF)
                std::abort();
    return 0;
}
