#pragma once
// The command reader works on 8-bit text in which every byte stands for itself, as in the UTF-16 low
// bytes of a received command; the JSON library wants UTF-8 and refuses raw high bytes and control bytes
// inside strings. These two functions carry the 8-bit text across that boundary and back unchanged.
//
// Outward, every byte from 0x80 up, and every control byte inside a string, becomes a private-use
// character U+F700 + byte; everything else is kept. Backward, such characters become their byte again
// and any other character stays as the library decoded it (so a \u escape above U+00FF gives UTF-8,
// as the reader always gave). Only a \uF700..\uF7FF escape in the sender's text would be mistaken for
// a raw byte; no sender writes those.

#include <string>

namespace Corvani::Nuv::IPC {

// 8-bit command text -> UTF-8 for the JSON library.
std::string ToReaderText(const std::string& bytes);

// A string decoded by the JSON library -> 8-bit text, cut at its first NUL as the reader's texts were.
std::string FromReaderText(const std::string& decoded);

} // namespace Corvani::Nuv::IPC
