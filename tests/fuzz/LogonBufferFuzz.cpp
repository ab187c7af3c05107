// The logon-buffer packer with texts of random lengths up to the longest that fits and just past it: a
// buffer is packed only when the texts fit, into exactly the size asked for, and its descriptors always
// agree with the texts.

#include "credential/LogonBuffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace Corvani::Nuv::CredentialProvider;

namespace {

std::size_t LengthFrom(const uint8_t* data) {
    const std::size_t raw = data[0] | (data[1] << 8);
    switch (raw % 16) {
    case 0: return kMaximumLogonTextCharacters - 1; // the longest that fits
    case 1: return kMaximumLogonTextCharacters;     // one past it
    case 2: return kMaximumLogonTextCharacters + (raw >> 4) % 4;
    case 3: return (raw >> 4) % 4096;
    case 4: return 0;
    default: return (raw >> 4) % 300;
    }
}

// The largest buffer that texts which fit can need, and a guard band before it.
constexpr std::size_t kGuard = 64;
constexpr std::size_t kArenaSize = kGuard + kLogonHeaderSize + 3 * 2 * (kMaximumLogonTextCharacters - 1);
// Each buffer ends where the arena ends, so that a write past it is caught; the guard band before it
// must stay as it was filled.
uint8_t g_arena[kArenaSize];

struct Packed {
    const uint8_t* data;
    std::size_t size;
};

uint64_t Read(const Packed& buffer, std::size_t at, std::size_t bytes) {
    if (at + bytes > buffer.size)
        std::abort();
    uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        value |= uint64_t(buffer.data[at + i]) << (8 * i);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 9)
        return 0;
    // Kept from run to run: large texts are the point here, allocating them anew each run is not.
    static std::u16string texts[3];
    for (int t = 0; t < 3; ++t) {
        texts[t].resize(LengthFrom(data + 2 * t));
        for (std::size_t i = 0; i < texts[t].size(); ++i)
            texts[t][i] = static_cast<char16_t>(data[8 + (i + t) % (size - 8)] * 257u + i);
    }
    const LogonTexts logon{texts[0], texts[1], texts[2]};
    const bool fits = texts[0].size() < kMaximumLogonTextCharacters && texts[1].size() < kMaximumLogonTextCharacters &&
                      texts[2].size() < kMaximumLogonTextCharacters;
    if (LogonTextsFit(logon) != fits)
        std::abort();
    if (!fits)
        return 0;

    const std::size_t total = kLogonHeaderSize + 2 * (texts[0].size() + texts[1].size() + texts[2].size());
    if (LogonBufferSize(logon) != total)
        std::abort();
    uint8_t* start = g_arena + kArenaSize - total;
    std::memset(start - kGuard, 0xA5, kGuard);
    std::memset(start, data[7], total);
    PackLogonBuffer(data[6] % 2 ? kKerbWorkstationUnlockLogon : kKerbInteractiveLogon, logon, start);
    for (std::size_t i = 0; i < kGuard; ++i)
        if ((start - kGuard)[i] != 0xA5)
            std::abort();
    const Packed buffer{start, total};

    std::size_t expectedOffset = kLogonHeaderSize;
    for (int t = 0; t < 3; ++t) {
        const std::size_t descriptor = 8 + 16 * t;
        const std::size_t length = Read(buffer, descriptor, 2);
        const std::size_t offset = Read(buffer, descriptor + 8, 8);
        if (length != 2 * texts[t].size() || Read(buffer, descriptor + 2, 2) != length ||
            Read(buffer, descriptor + 4, 4) != 0 || offset != expectedOffset || offset + length > total)
            std::abort();
        const uint8_t* text = buffer.data + offset;
        for (std::size_t i = 0; i < texts[t].size(); ++i)
            if ((text[2 * i] | (text[2 * i + 1] << 8)) != texts[t][i])
                std::abort();
        expectedOffset += length;
    }
    if (Read(buffer, 4, 4) != 0 || Read(buffer, 56, 8) != 0) // padding and logon id
        std::abort();
    return 0;
}
