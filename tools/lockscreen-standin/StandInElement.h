#pragma once
// An element of the stand-in's desktop: a node of the view its automation object saw. It finds its
// children by condition and answers its name and class; everything else is E_NOTIMPL.

#include "LiveCounts.h"
#include "StandInDesktop.h"
#include "platform/ComObject.h"
#include "platform/UIAutomationApi.h"

namespace HxLockScreen {

class StandInElement final : public Corvani::Nuv::Platform::ComObject<StandInElement, IUIAutomationElement> {
public:
    StandInElement(const DesktopView& view, Node node) : _view(view), _node(node) {}
    ~StandInElement() = default;

    // A new element in *element (E_OUTOFMEMORY when it cannot be made).
    static HRESULT Create(const DesktopView& view, Node node, IUIAutomationElement** element);

    IFACEMETHODIMP FindFirst(enum TreeScope scope, IUIAutomationCondition* condition,
                             IUIAutomationElement** found) override;
    IFACEMETHODIMP get_CurrentName(BSTR* retVal) override;
    IFACEMETHODIMP get_CurrentClassName(BSTR* retVal) override;

    IFACEMETHODIMP SetFocus() override { return E_NOTIMPL; }
    IFACEMETHODIMP GetRuntimeId(SAFEARRAY**) override { return E_NOTIMPL; }
    IFACEMETHODIMP FindAll(enum TreeScope, IUIAutomationCondition*, IUIAutomationElementArray**) override {
        return E_NOTIMPL;
    }
    IFACEMETHODIMP FindFirstBuildCache(enum TreeScope, IUIAutomationCondition*, IUIAutomationCacheRequest*,
                                       IUIAutomationElement**) override {
        return E_NOTIMPL;
    }
    IFACEMETHODIMP FindAllBuildCache(enum TreeScope, IUIAutomationCondition*, IUIAutomationCacheRequest*,
                                     IUIAutomationElementArray**) override {
        return E_NOTIMPL;
    }
    IFACEMETHODIMP BuildUpdatedCache(IUIAutomationCacheRequest*, IUIAutomationElement**) override {
        return E_NOTIMPL;
    }
    IFACEMETHODIMP GetCurrentPropertyValue(PROPERTYID, VARIANT*) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCurrentPropertyValueEx(PROPERTYID, BOOL, VARIANT*) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCachedPropertyValue(PROPERTYID, VARIANT*) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCachedPropertyValueEx(PROPERTYID, BOOL, VARIANT*) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCurrentPatternAs(PATTERNID, REFIID, void**) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCachedPatternAs(PATTERNID, REFIID, void**) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCurrentPattern(PATTERNID, IUnknown**) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCachedPattern(PATTERNID, IUnknown**) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCachedParent(IUIAutomationElement**) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCachedChildren(IUIAutomationElementArray**) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_CurrentProcessId(int*) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_CurrentControlType(CONTROLTYPEID*) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_CurrentLocalizedControlType(BSTR*) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_CurrentAcceleratorKey(BSTR*) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_CurrentAccessKey(BSTR*) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_CurrentHasKeyboardFocus(BOOL*) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_CurrentIsKeyboardFocusable(BOOL*) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_CurrentIsEnabled(BOOL*) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_CurrentAutomationId(BSTR*) override { return E_NOTIMPL; }

private:
    DesktopView _view;
    Node _node;
    Counted<Kind::Element> _counted;
};

} // namespace HxLockScreen
