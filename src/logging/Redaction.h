#pragma once
// Masking of sensitive JSON fields in a trace line: the value of each listed key is replaced by X.
// A plain text search, not a JSON parse; free of Windows headers.

#include <array>
#include <string>
#include <string_view>

namespace Corvani::Nuv::Logging {

enum class SensitiveValueKind { Array, Object, String };

struct SensitiveKey {
    std::wstring_view text; // the key name with its surrounding double quotes
    SensitiveValueKind kind;
};

inline constexpr size_t kSensitiveKeyCount = 23;

// The keys in the order in which they are masked.
const std::array<SensitiveKey, kSensitiveKeyCount>& SensitiveKeys();

// Replaces, in place, the value of every occurrence of every sensitive key by X, keeping the value's
// delimiters. Blanks may stand between the key, the colon and the value. A string ends at the first quote
// not escaped by a backslash; an array or object ends at its matching closing character (strings inside it
// are skipped). A value whose closing character is missing is masked to the end of the text. Empty arrays
// and empty strings stay as they are; an empty object becomes {X}.
void RedactSensitiveFields(std::wstring& text);

// False when the text cannot hold a sensitive key: every key begins with a double quote. Lets a trace line
// without one skip the copy and the masking.
inline bool MayHoldSensitiveField(std::wstring_view text) noexcept { return text.find(L'"') != text.npos; }

} // namespace Corvani::Nuv::Logging
