#pragma once
// Shared by the pipe client's operations: how a result reads in "PipeClient.log".

#include <string>

namespace Corvani::Nuv::IPC {

inline std::string ResultText(bool result) { return result ? "1" : "0"; }

} // namespace Corvani::Nuv::IPC
