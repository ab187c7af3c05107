#include "StandInBehaviour.h"

#include <cwctype>

namespace HxStandIn {

namespace {

bool ParseMilliseconds(const std::wstring& text, std::uint32_t& value) {
    if (text.empty() || text.size() > 9)
        return false;
    std::uint32_t result = 0;
    for (wchar_t c : text) {
        if (!std::iswdigit(c))
            return false;
        result = result * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    value = result;
    return true;
}

std::uint32_t* NumberSlot(const std::wstring& name, Behaviour& behaviour) {
    if (name == L"--start-pending")
        return &behaviour.startPendingMs;
    if (name == L"--start-hint")
        return &behaviour.startHintMs;
    if (name == L"--stop-pending")
        return &behaviour.stopPendingMs;
    if (name == L"--stop-hint")
        return &behaviour.stopHintMs;
    return nullptr;
}

} // namespace

bool ParseBehaviour(const std::vector<std::wstring>& arguments, Behaviour& behaviour) {
    Behaviour parsed;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == L"--fail-start") {
            parsed.failStart = true;
            continue;
        }
        std::uint32_t* slot = NumberSlot(arguments[i], parsed);
        if (!slot || i + 1 >= arguments.size() || !ParseMilliseconds(arguments[i + 1], *slot))
            return false;
        ++i;
    }
    behaviour = parsed;
    return true;
}

} // namespace HxStandIn
