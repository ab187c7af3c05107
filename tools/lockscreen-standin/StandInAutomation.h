#pragma once
// The stand-in's automation object: created over the desktop scripted at that moment, it hands out the root
// element, the focused element and property conditions; everything else is E_NOTIMPL.

#include "LiveCounts.h"
#include "StandInDesktop.h"
#include "platform/ComObject.h"
#include "platform/UIAutomationApi.h"

namespace HxLockScreen {

class StandInAutomation final : public Corvani::Nuv::Platform::ComObject<StandInAutomation, IUIAutomation> {
public:
    explicit StandInAutomation(const DesktopView& view) : _view(view) {}
    ~StandInAutomation() = default;

    IFACEMETHODIMP GetRootElement(IUIAutomationElement** root) override;
    IFACEMETHODIMP GetFocusedElement(IUIAutomationElement** element) override;
    IFACEMETHODIMP CreatePropertyCondition(PROPERTYID propertyId, VARIANT value,
                                           IUIAutomationCondition** newCondition) override;

    IFACEMETHODIMP CompareElements(IUIAutomationElement*, IUIAutomationElement*, BOOL*) override {
        return E_NOTIMPL;
    }
    IFACEMETHODIMP CompareRuntimeIds(SAFEARRAY*, SAFEARRAY*, BOOL*) override { return E_NOTIMPL; }
    IFACEMETHODIMP ElementFromHandle(UIA_HWND, IUIAutomationElement**) override { return E_NOTIMPL; }
    IFACEMETHODIMP ElementFromPoint(POINT, IUIAutomationElement**) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetRootElementBuildCache(IUIAutomationCacheRequest*, IUIAutomationElement**) override {
        return E_NOTIMPL;
    }
    IFACEMETHODIMP ElementFromHandleBuildCache(UIA_HWND, IUIAutomationCacheRequest*,
                                               IUIAutomationElement**) override {
        return E_NOTIMPL;
    }
    IFACEMETHODIMP ElementFromPointBuildCache(POINT, IUIAutomationCacheRequest*, IUIAutomationElement**) override {
        return E_NOTIMPL;
    }
    IFACEMETHODIMP GetFocusedElementBuildCache(IUIAutomationCacheRequest*, IUIAutomationElement**) override {
        return E_NOTIMPL;
    }
    IFACEMETHODIMP CreateTreeWalker(IUIAutomationCondition*, IUIAutomationTreeWalker**) override {
        return E_NOTIMPL;
    }
    IFACEMETHODIMP get_ControlViewWalker(IUIAutomationTreeWalker**) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_ContentViewWalker(IUIAutomationTreeWalker**) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_RawViewWalker(IUIAutomationTreeWalker**) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_RawViewCondition(IUIAutomationCondition**) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_ControlViewCondition(IUIAutomationCondition**) override { return E_NOTIMPL; }
    IFACEMETHODIMP get_ContentViewCondition(IUIAutomationCondition**) override { return E_NOTIMPL; }
    IFACEMETHODIMP CreateCacheRequest(IUIAutomationCacheRequest**) override { return E_NOTIMPL; }
    IFACEMETHODIMP CreateTrueCondition(IUIAutomationCondition**) override { return E_NOTIMPL; }
    IFACEMETHODIMP CreateFalseCondition(IUIAutomationCondition**) override { return E_NOTIMPL; }

private:
    DesktopView _view;
    Counted<Kind::Automation> _counted;
};

} // namespace HxLockScreen
