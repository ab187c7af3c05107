#pragma once
// The stand-in's service routine: reports the states its behaviour asks for through the Service Control
// Manager and stops on request.

#include <windows.h>

namespace HxStandIn {

void WINAPI StandInServiceMain(DWORD argc, LPWSTR* argv);

} // namespace HxStandIn
