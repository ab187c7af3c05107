// Stand-in for the product's Windows service "Halvex": a real service executable whose start and stop
// behaviour is set through its arguments, for the tests and the demo.

#include "StandInService.h"

int wmain() {
    static wchar_t serviceName[] = L"Halvex";
    const SERVICE_TABLE_ENTRYW table[] = {{serviceName, HxStandIn::StandInServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? 0 : static_cast<int>(GetLastError());
}
