#pragma once
// Packing of the interactive-logon buffer handed to LogonUI (the KERB_INTERACTIVE_UNLOCK_LOGON layout of
// 64-bit Windows): a 64-byte header of counted-string descriptors, then the UTF-16LE domain, user name and
// password back to back without terminators. The descriptors' buffer fields hold offsets from the start
// of the buffer. Free of Windows types, so it builds and is tested on any platform.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Corvani::Nuv::CredentialProvider {

inline constexpr std::size_t kLogonHeaderSize = 64;
// A text of this many characters or more does not fit a counted string's 16-bit byte length.
inline constexpr std::size_t kMaximumLogonTextCharacters = 32768;

inline constexpr uint32_t kKerbInteractiveLogon = 2;
inline constexpr uint32_t kKerbWorkstationUnlockLogon = 7;

struct LogonTexts {
    std::u16string_view domain;
    std::u16string_view user;
    std::u16string_view password;
};

// Whether every text is short enough to be described.
bool LogonTextsFit(const LogonTexts& texts);

// The size of the packed buffer: the header plus the three texts' byte lengths.
std::size_t LogonBufferSize(const LogonTexts& texts);

// Writes the buffer into `buffer`, which holds LogonBufferSize(texts) bytes; the texts must fit. Padding
// bytes and the logon id are zero.
void PackLogonBuffer(uint32_t messageType, const LogonTexts& texts, uint8_t* buffer);

} // namespace Corvani::Nuv::CredentialProvider
