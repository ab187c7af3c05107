// Finding children and answering names over the view.

#include "StandInElement.h"

#include "StandInCondition.h"
#include "platform/ComBoundary.h"

#include <new>

namespace HxLockScreen {

namespace {

HRESULT CopyText(const std::wstring& text, BSTR* out) {
    if (!out)
        return E_POINTER;
    *out = SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

} // namespace

HRESULT StandInElement::Create(const DesktopView& view, Node node, IUIAutomationElement** element) {
    *element = new (std::nothrow) StandInElement(view, node);
    return *element ? S_OK : E_OUTOFMEMORY;
}

// Only the children scope is answered, which is all the provider asks; no match is S_OK with null.
IFACEMETHODIMP StandInElement::FindFirst(enum TreeScope scope, IUIAutomationCondition* condition,
                                         IUIAutomationElement** found) {
    return Corvani::Nuv::Platform::ComBoundary([&]() -> HRESULT {
        if (!found)
            return E_POINTER;
        *found = nullptr;
        if (!condition)
            return E_INVALIDARG;
        if (scope != TreeScope_Children)
            return E_NOTIMPL;
        // Conditions reach an element only from the stand-in's own automation objects.
        const auto* wanted = static_cast<const StandInCondition*>(condition);
        for (Node child : ChildrenOf(_view, _node))
            if (wanted->Matches(NameOf(_view, child), ClassOf(_view, child)))
                return Create(_view, child, found);
        return S_OK;
    });
}

IFACEMETHODIMP StandInElement::get_CurrentName(BSTR* retVal) {
    return Corvani::Nuv::Platform::ComBoundary([&] { return CopyText(NameOf(_view, _node), retVal); });
}

IFACEMETHODIMP StandInElement::get_CurrentClassName(BSTR* retVal) {
    if (_node == Node::Focused && _view.classNameFails)
        return E_FAIL;
    return Corvani::Nuv::Platform::ComBoundary([&] { return CopyText(ClassOf(_view, _node), retVal); });
}

} // namespace HxLockScreen
