#pragma once
// Installs the test LSA package that calls itself "Negotiate" into the Wine prefix (system32 and a subkey of
// HKLM\System\CurrentControlSet\Control\Lsa) for the life of the object.

#include <string>

namespace HxTest {

class TestNegotiatePackage {
public:
    TestNegotiatePackage();
    ~TestNegotiatePackage();
    TestNegotiatePackage(const TestNegotiatePackage&) = delete;
    TestNegotiatePackage& operator=(const TestNegotiatePackage&) = delete;

    bool installed() const { return _installed; }

private:
    std::wstring _systemCopy;
    bool _installed = false;
};

} // namespace HxTest
