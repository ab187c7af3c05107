#include "ipc/ReaderText.h"

#include <algorithm>

namespace Corvani::Nuv::IPC {

namespace {

constexpr unsigned kByteCharacterBase = 0xF700;

void AppendByteCharacter(std::string& out, unsigned char byte) {
    const unsigned code = kByteCharacterBase + byte;
    out += static_cast<char>(0xE0u | (code >> 12));
    out += static_cast<char>(0x80u | ((code >> 6) & 0x3Fu));
    out += static_cast<char>(0x80u | (code & 0x3Fu));
}

enum class Scan { Value, String, Escape, LineComment, BlockComment };

// Where the scanner is after `byte`, given what follows it (for the two-byte comment marks).
Scan NextState(Scan state, unsigned char byte, int next, bool& takeNext) {
    takeNext = false;
    switch (state) {
    case Scan::Value:
        if (byte == '"')
            return Scan::String;
        if (byte == '/' && (next == '/' || next == '*')) {
            takeNext = true;
            return next == '/' ? Scan::LineComment : Scan::BlockComment;
        }
        return Scan::Value;
    case Scan::String:
        return byte == '\\' ? Scan::Escape : byte == '"' ? Scan::Value : Scan::String;
    case Scan::Escape:
        return Scan::String;
    case Scan::LineComment:
        return (byte == '\n' || byte == '\r') ? Scan::Value : Scan::LineComment;
    case Scan::BlockComment:
        if (byte == '*' && next == '/') {
            takeNext = true;
            return Scan::Value;
        }
        return Scan::BlockComment;
    }
    return state;
}

bool KeepsItsByte(Scan state, unsigned char byte) {
    if (byte >= 0x80)
        return false;
    const bool inString = state == Scan::String || state == Scan::Escape;
    return !(inString && byte < 0x20);
}

// Length of the UTF-8 sequence that starts with `lead` (the library only produces valid UTF-8).
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    return 4;
}

} // namespace

std::string ToReaderText(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    Scan state = Scan::Value;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const int next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : -1;
        if (KeepsItsByte(state, byte))
            out += static_cast<char>(byte);
        else
            AppendByteCharacter(out, byte);
        bool takeNext = false;
        state = NextState(state, byte, next, takeNext);
        if (takeNext) {
            out += static_cast<char>(next);
            ++i;
        }
    }
    return out;
}

std::string FromReaderText(const std::string& decoded) {
    std::string out;
    out.reserve(decoded.size());
    for (std::size_t i = 0; i < decoded.size();) {
        const auto lead = static_cast<unsigned char>(decoded[i]);
        if (lead == 0)
            break;
        const std::size_t length = std::min(SequenceLength(lead), decoded.size() - i);
        if (length == 3) {
            const unsigned code = ((lead & 0x0Fu) << 12) |
                                  ((static_cast<unsigned char>(decoded[i + 1]) & 0x3Fu) << 6) |
                                  (static_cast<unsigned char>(decoded[i + 2]) & 0x3Fu);
            if (code >= kByteCharacterBase && code <= kByteCharacterBase + 0xFF) {
                out += static_cast<char>(code - kByteCharacterBase);
                i += 3;
                continue;
            }
        }
        out.append(decoded, i, length);
        i += length;
    }
    return out;
}

} // namespace Corvani::Nuv::IPC
