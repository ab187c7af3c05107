#pragma once
// Paths the tests work with: the build's output directory and fresh temporary directories.

#include <string>

namespace HxTest {

// The directory of the running test executable, with a trailing backslash (the build's bin directory).
std::wstring BinDirectory();

// A new empty directory under the temporary folder, with a trailing backslash.
std::wstring NewTempDirectory(const std::wstring& prefix);

// Reads a UTF-8 text file whole into wide text; empty when it cannot be read.
std::wstring ReadUtf8File(const std::wstring& path);

} // namespace HxTest
