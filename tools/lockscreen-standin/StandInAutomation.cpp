// The three calls of the automation object that the provider makes.

#include "StandInAutomation.h"

#include "StandInCondition.h"
#include "StandInElement.h"
#include "platform/ComBoundary.h"

#include <new>

namespace HxLockScreen {

IFACEMETHODIMP StandInAutomation::GetRootElement(IUIAutomationElement** root) {
    if (!root)
        return E_POINTER;
    *root = nullptr;
    if (_view.rootFails)
        return E_FAIL;
    return StandInElement::Create(_view, Node::Root, root);
}

IFACEMETHODIMP StandInAutomation::GetFocusedElement(IUIAutomationElement** element) {
    if (!element)
        return E_POINTER;
    *element = nullptr;
    if (_view.focusFails)
        return E_FAIL;
    return StandInElement::Create(_view, Node::Focused, element);
}

// The condition keeps its own copy of the text: the caller clears its VARIANT afterwards.
IFACEMETHODIMP StandInAutomation::CreatePropertyCondition(PROPERTYID propertyId, VARIANT value,
                                                          IUIAutomationCondition** newCondition) {
    return Corvani::Nuv::Platform::ComBoundary([&]() -> HRESULT {
        if (!newCondition)
            return E_POINTER;
        *newCondition = nullptr;
        if (_view.conditionFails)
            return E_FAIL;
        if (value.vt != VT_BSTR || !value.bstrVal)
            return E_INVALIDARG;
        std::wstring text(value.bstrVal, SysStringLen(value.bstrVal));
        *newCondition = new (std::nothrow) StandInCondition(propertyId, std::move(text));
        return *newCondition ? S_OK : E_OUTOFMEMORY;
    });
}

} // namespace HxLockScreen
