#include "credential/LogonBuffer.h"

#include <cstring>

namespace Corvani::Nuv::CredentialProvider {

namespace {

constexpr std::size_t kMessageTypeOffset = 0;
constexpr std::size_t kDomainDescriptorOffset = 8;
constexpr std::size_t kUserDescriptorOffset = 24;
constexpr std::size_t kPasswordDescriptorOffset = 40;

void PutLittleEndian(uint8_t* target, uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i)
        target[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::size_t ByteLength(std::u16string_view text) { return text.size() * sizeof(char16_t); }

// One counted-string descriptor: length, maximum length, padding, buffer offset.
void PutDescriptor(uint8_t* descriptor, std::size_t byteLength, std::size_t textOffset) {
    PutLittleEndian(descriptor, byteLength, 2);
    PutLittleEndian(descriptor + 2, byteLength, 2);
    PutLittleEndian(descriptor + 8, textOffset, 8);
}

void PutText(uint8_t* target, std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        PutLittleEndian(target + 2 * i, text[i], 2);
}

} // namespace

bool LogonTextsFit(const LogonTexts& texts) {
    return texts.domain.size() < kMaximumLogonTextCharacters && texts.user.size() < kMaximumLogonTextCharacters &&
           texts.password.size() < kMaximumLogonTextCharacters;
}

std::size_t LogonBufferSize(const LogonTexts& texts) {
    return kLogonHeaderSize + ByteLength(texts.domain) + ByteLength(texts.user) + ByteLength(texts.password);
}

void PackLogonBuffer(uint32_t messageType, const LogonTexts& texts, uint8_t* buffer) {
    std::memset(buffer, 0, kLogonHeaderSize);
    PutLittleEndian(buffer + kMessageTypeOffset, messageType, 4);

    const std::size_t domainOffset = kLogonHeaderSize;
    const std::size_t userOffset = domainOffset + ByteLength(texts.domain);
    const std::size_t passwordOffset = userOffset + ByteLength(texts.user);
    PutDescriptor(buffer + kDomainDescriptorOffset, ByteLength(texts.domain), domainOffset);
    PutDescriptor(buffer + kUserDescriptorOffset, ByteLength(texts.user), userOffset);
    PutDescriptor(buffer + kPasswordDescriptorOffset, ByteLength(texts.password), passwordOffset);

    PutText(buffer + domainOffset, texts.domain);
    PutText(buffer + userOffset, texts.user);
    PutText(buffer + passwordOffset, texts.password);
}

} // namespace Corvani::Nuv::CredentialProvider
