#include "ipc/CommandJson.h"

#include <json/reader.h>

namespace Corvani::Nuv::IPC {

Json::Value ReadCommandJson(const std::string& bytes) {
    Json::Value root;
    try {
        // The success flag is not looked at: what was read before a syntax error stays in the root.
        Json::Reader().parse(bytes, root);
    } catch (const Json::Exception&) {
        // Only the reader's nesting limit throws; the values opened so far stay in the root.
    }
    return root;
}

} // namespace Corvani::Nuv::IPC
