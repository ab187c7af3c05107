#pragma once
// Whether a provider made now still shows its tile at the logon screen: one credential, the two titles
// and the picture.

#include <string>

namespace HxConfigTest {

// Empty when the tile works; otherwise what failed.
std::string TileProblem();

// Handles that every provider made keeps for the life of the process: its credential is never released
// (LogonUI's providers keep theirs until the process ends). Measured on two providers made at once.
int HandlesKeptPerProvider();

} // namespace HxConfigTest
