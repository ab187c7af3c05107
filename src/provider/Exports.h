#pragma once
// The module's two COM exports.

#include <windows.h>

STDAPI DllCanUnloadNow();
STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
