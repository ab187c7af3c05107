// The command reader on any received buffer of up to 2048 bytes, NUL-terminated or not: it never reads
// past the buffer, throws nothing but the one conversion error, and reads as the model of the reader
// rules reads.

#include "ipc/IPCMessage.h"
#include "ipc/ReferenceReader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

HxTest::ModelMessage Read(const wchar_t* text, std::size_t units) {
    try {
        Corvani::Nuv::IPC::IPCMessage message = units == SIZE_MAX
                                                    ? Corvani::Nuv::IPC::parseIPCMessage(text)
                                                    : Corvani::Nuv::IPC::parseIPCMessage(text, units);
        return {false, message.command, message.payload};
    } catch (const std::runtime_error& error) {
        if (std::strcmp(error.what(), "Type is not convertible to string") != 0)
            std::abort();
        return {true, "", {}};
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 2048)
        return 0;
    // The buffer holds exactly the units received, so that a read past them is caught.
    const std::size_t count = size / 2;
    std::vector<wchar_t> units(count);
    std::string lowBytes;
    bool nulSeen = false;
    for (std::size_t i = 0; i < count; ++i) {
        units[i] = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
        nulSeen = nulSeen || units[i] == 0;
        if (!nulSeen)
            lowBytes += static_cast<char>(data[2 * i]);
    }
    const HxTest::ModelMessage bounded = Read(units.data(), units.size());
    if (!(bounded == HxTest::ModelParse(lowBytes)))
        std::abort();

    units.push_back(0);
    if (!(Read(units.data(), SIZE_MAX) == bounded))
        std::abort();
    return 0;
}
