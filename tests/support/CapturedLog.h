#pragma once
// Reading the CP.log messages of a test process whose tests run through RunTestsWithCapturedLog.

#include "support/TestMain.h"

#include <algorithm>
#include <string>
#include <vector>

namespace HxTest {

// How many CP.log messages so far equal the text.
inline size_t CountMessages(const std::string& text) {
    const std::vector<std::string> messages = CapturedLog().CPMessages();
    return static_cast<size_t>(std::count(messages.begin(), messages.end(), text));
}

// Marks the current end of CP.log; Since() gives the messages written after it.
class LogMark {
public:
    LogMark() : _start(CapturedLog().CPMessages().size()) {}
    std::vector<std::string> Since() const {
        std::vector<std::string> messages = CapturedLog().CPMessages();
        return std::vector<std::string>(messages.begin() + static_cast<long>(std::min(_start, messages.size())),
                                        messages.end());
    }
    size_t Count(const std::string& text) const {
        const std::vector<std::string> messages = Since();
        return static_cast<size_t>(std::count(messages.begin(), messages.end(), text));
    }

private:
    size_t _start;
};

} // namespace HxTest
