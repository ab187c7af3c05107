#pragma once
// A property condition of the stand-in: one property (name or class name) equal to one text.

#include "LiveCounts.h"
#include "platform/ComObject.h"
#include "platform/UIAutomationApi.h"

#include <string>

namespace HxLockScreen {

class StandInCondition final : public Corvani::Nuv::Platform::ComObject<StandInCondition, IUIAutomationCondition> {
public:
    StandInCondition(PROPERTYID property, std::wstring value) : _property(property), _value(std::move(value)) {}
    ~StandInCondition() = default;

    bool Matches(const std::wstring& name, const std::wstring& className) const {
        if (_property == UIA_NamePropertyId)
            return name == _value;
        if (_property == UIA_ClassNamePropertyId)
            return className == _value;
        return false;
    }

private:
    PROPERTYID _property;
    std::wstring _value;
    Counted<Kind::Condition> _counted;
};

} // namespace HxLockScreen
