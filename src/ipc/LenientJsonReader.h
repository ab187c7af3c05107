#pragma once
// Reads JSON as the command reader always has. The text is 8-bit, every byte standing for itself (the low
// bytes of a received command). Comments are allowed wherever a value may begin and around the commas and
// closers of objects and arrays, but not between a member name and its colon; any value may stand at the
// top; text after the first complete value is ignored. Reading stops at the first syntax error and keeps
// everything stored before it:
// - a member comes into being, null, when its colon is read, an array element when its value is expected;
//   an object or array value replaces what its slot held as soon as its opening character is read;
//   a member named twice keeps the later value that was read completely;
// - texts (names and strings) are kept up to their first NUL, whether it came as a byte or as \u0000;
//   a \u escape becomes the UTF-8 bytes of its code unit, a high surrogate followed by another \u escape
//   the UTF-8 bytes of the pair, whatever the second unit is (a lone low surrogate is kept too);
// - a number token is every digit, '.', 'e', 'E', '+' and '-' from its first digit or '-'; it is a number
//   unless it has a '.', 'e', 'E', '+' or inner '-' and does not start like a decimal number (so "-" is
//   the number 0 and "--" is no number: its slot keeps what it held);
// - whitespace is blank, tab, carriage return and line feed; a NUL byte outside texts and comments ends
//   the text there.

#include <nlohmann/json.hpp>
#include <string>

namespace Corvani::Nuv::IPC {

// Never fails: unreadable text gives null, broken text what was read up to the break. Strings and names
// in the result hold the 8-bit text as it was read, not UTF-8.
nlohmann::json ReadLenientJson(const std::string& bytes);

} // namespace Corvani::Nuv::IPC
