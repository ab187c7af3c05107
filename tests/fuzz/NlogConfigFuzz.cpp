// The logging configuration's directory rule on any file content: no read outside the content, and an
// answer exactly when the key occurs, taken from the text right after its first occurrence, on that line.

#include "logging/NlogConfig.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The content sits in a buffer of its own size, so that a read past it is caught.
    const std::string content(reinterpret_cast<const char*>(data), size);
    const std::string_view view(content);
    const std::optional<std::string> directory = Corvani::Nuv::Logging::FindLogsDirectoryInConfig(view);

    const std::string_view key = "fileName=\"";
    const std::size_t first = view.find(key);
    if (directory.has_value() != (first != std::string_view::npos))
        std::abort();
    if (!directory)
        return 0;
    const std::string_view after = view.substr(first + key.size());
    if (after.substr(0, directory->size()) != *directory || directory->find_first_of("\"\n") != std::string::npos)
        std::abort();
    const std::size_t separator = directory->find_last_of("/\\");
    if (separator != std::string::npos && separator + 1 != directory->size())
        std::abort();
    return 0;
}
