// Lock-screen detection through UI Automation: the sign-in window on the desktop, and on it either the
// lock screen page or the keyboard focus resting on the bare desktop. Every question builds its automation
// objects, conditions and values afresh and releases them before it answers, so that nothing accumulates
// over hours of a locked workstation. The asking threads never initialise COM: the automation object is
// created in the multithreaded apartment that the host provides, and without one the creation fails.

#include "credential/NuvCredential.h"

#include "platform/ComPtr.h"
#include "platform/OleAutomationOwners.h"
#include "platform/UIAutomationApi.h"

#include <cwchar>

namespace Corvani::Nuv::CredentialProvider {

namespace {

using Platform::ComPtr;
using Platform::UniqueBstr;
using Platform::UniqueVariant;

constexpr wchar_t kSignInWindowName[] = L"Windows sign-in";
constexpr wchar_t kLockScreenPageClass[] = L"AccessPage";
constexpr wchar_t kDesktopWindowClass[] = L"#32769";

ComPtr<IUIAutomation> CreateAutomation() {
    ComPtr<IUIAutomation> automation;
    if (FAILED(CoCreateInstance(CLSID_CUIAutomation8, nullptr, CLSCTX_INPROC_SERVER, IID_IUIAutomation,
                                automation.putVoid())))
        automation.reset();
    return automation;
}

ComPtr<IUIAutomationCondition> CreateCondition(IUIAutomation& automation, PROPERTYID property,
                                               const VARIANT& value) {
    ComPtr<IUIAutomationCondition> condition;
    if (FAILED(automation.CreatePropertyCondition(property, value, condition.put())))
        condition.reset();
    return condition;
}

ComPtr<IUIAutomationElement> FindChild(IUIAutomationElement& parent, IUIAutomationCondition& condition) {
    ComPtr<IUIAutomationElement> found;
    if (FAILED(parent.FindFirst(TreeScope_Children, &condition, found.put())))
        found.reset();
    return found;
}

// The desktop's child of that name; everything made on the way is released on return.
ComPtr<IUIAutomationElement> FindTopLevelWindow(NuvCredential& credential, const VARIANT& name) {
    const ComPtr<IUIAutomation> automation = CreateAutomation();
    if (!automation) {
        credential.Log("NuvCredential::GetTopLevelWindowByName | ERROR Failed to create gAutomation");
        return {};
    }
    ComPtr<IUIAutomationElement> root;
    if (FAILED(automation->GetRootElement(root.put())) || !root) {
        credential.Log("NuvCredential::GetTopLevelWindowByName | ERROR Failed to get root element");
        return {};
    }
    const ComPtr<IUIAutomationCondition> condition = CreateCondition(*automation.get(), UIA_NamePropertyId, name);
    if (!condition) {
        credential.Log("NuvCredential::GetTopLevelWindowByName | ERROR Failed to create property condition");
        return {};
    }
    return FindChild(*root.get(), *condition.get());
}

// The window's child of that class.
ComPtr<IUIAutomationElement> FindChildWindow(NuvCredential& credential, IUIAutomationElement* window,
                                             const VARIANT& className) {
    const ComPtr<IUIAutomation> automation = CreateAutomation();
    if (!automation) {
        credential.Log("NuvCredential::GetChildWindowByName | ERROR Failed to fcreate gAutomation");
        return {};
    }
    const ComPtr<IUIAutomationCondition> condition =
        CreateCondition(*automation.get(), UIA_ClassNamePropertyId, className);
    if (!condition) {
        credential.Log("NuvCredential::GetChildWindowByName | ERROR Failed to create property condition");
        return {};
    }
    credential.Log("NuvCredential::GetChildWindowByName | property condition OK");
    return window ? FindChild(*window, *condition.get()) : ComPtr<IUIAutomationElement>();
}

// Exactly that class name: the whole text and its terminating NUL, so that neither a longer name nor a
// shorter part of it counts.
bool IsClass(const wchar_t* className, const wchar_t* expected) {
    return className && std::wcsncmp(className, expected, std::wcslen(expected) + 1) == 0;
}

// The focused element when its class is the expected one.
ComPtr<IUIAutomationElement> FindFocusedOfClass(NuvCredential& credential, const wchar_t* expectedClass) {
    const ComPtr<IUIAutomation> automation = CreateAutomation();
    if (!automation) {
        credential.Log("NuvCredential::GetChildPaneByName | ERROR Failed to create gAutomation");
        return {};
    }
    ComPtr<IUIAutomationElement> focused;
    if (automation->GetFocusedElement(focused.put()) != S_OK || !focused) {
        credential.Log("NuvCredential::GetChildPaneByName | ERROR Failed to GetFocusedElement");
        return {};
    }
    UniqueBstr className;
    if (focused->get_CurrentClassName(className.put()) != S_OK) {
        credential.Log("NuvCredential::GetChildPaneByName | ERROR Failed to get_CurrentClassName");
        return {};
    }
    return IsClass(className.get(), expectedClass) ? std::move(focused) : ComPtr<IUIAutomationElement>();
}

} // namespace

bool NuvCredential::IsLockScreenVisible() {
    Log("NuvCredential::IsLockScreenVisible | --");
    if (IsWindows7()) {
        Log("NuvCredential::IsLockScreenVisible | Running on W7, no lockscreen");
        return false;
    }
    IUIAutomationElement* signInWindow = GetTopLevelWindowByName();
    if (!signInWindow) {
        Log("NuvCredential::IsLockScreenPresent | ERROR Windows sign-in NOT found");
        return false;
    }
    Log("NuvCredential::IsLockScreenPresent | windowsSignIn != NULL");
    if (ComPtr<IUIAutomationElement>::attach(GetChildWindowByName(signInWindow))) {
        Log("NuvCredential::IsLockScreenPresent | LockScreen found");
        return true;
    }
    Log("NuvCredential::IsLockScreenPresent | LockScreen NOT found");
    if (ComPtr<IUIAutomationElement>::attach(GetChildPaneByName())) {
        Log("NuvCredential::IsLockScreenPresent | LockScreen found");
        return true;
    }
    Log("NuvCredential::IsLockScreenPresent | LockScreen NOT found");
    return false;
}

IUIAutomationElement* NuvCredential::GetTopLevelWindowByName() {
    Log("NuvCredential::GetTopLevelWindowByName | --");
    UniqueVariant name;
    if (!name.SetString(kSignInWindowName)) {
        Log("NuvCredential::GetTopLevelWindowByName |ERROR failed to alloc string");
        return nullptr;
    }
    ComPtr<IUIAutomationElement> found = FindTopLevelWindow(*this, name.get());
    name.reset();
    Log("NuvCredential::GetTopLevelWindowByName | \\--");
    return found.release();
}

IUIAutomationElement* NuvCredential::GetChildWindowByName(IUIAutomationElement* signInWindow) {
    ComPtr<IUIAutomationElement> window = ComPtr<IUIAutomationElement>::attach(signInWindow);
    Log("NuvCredential::GetChildWindowByName | --");
    UniqueVariant className;
    if (!className.SetString(kLockScreenPageClass)) {
        Log("NuvCredential::GetChildWindowByName | ERROR failed to alloc string");
        return nullptr;
    }
    Log("NuvCredential::GetChildWindowByName | gAutomation == NULL");
    ComPtr<IUIAutomationElement> found = FindChildWindow(*this, window.get(), className.get());
    window.reset();
    className.reset();
    Log("NuvCredential::GetChildWindowByName | \\--");
    return found.release();
}

IUIAutomationElement* NuvCredential::GetChildPaneByName() {
    Log("NuvCredential::GetChildPaneByName | --");
    UniqueVariant desktopClass;
    if (!desktopClass.SetString(kDesktopWindowClass)) {
        Log("NuvCredential::GetChildPaneByName | ERROR failed to alloc string");
        return nullptr;
    }
    Log("NuvCredential::GetChildPaneByName | gAutomation == null");
    ComPtr<IUIAutomationElement> found = FindFocusedOfClass(*this, desktopClass.Text());
    desktopClass.reset();
    Log("NuvCredential::GetChildPaneByName | \\--");
    return found.release();
}

bool IsWindows7() {
    OSVERSIONINFOEXW version = {};
    static_assert(sizeof(version) == 284, "OSVERSIONINFOEXW as the version check expects it");
    version.dwOSVersionInfoSize = sizeof(version);
    version.dwMajorVersion = 6;
    version.dwMinorVersion = 1;
    DWORDLONG conditions = 0;
    conditions = VerSetConditionMask(conditions, VER_MAJORVERSION, VER_EQUAL);
    conditions = VerSetConditionMask(conditions, VER_MINORVERSION, VER_EQUAL);
    return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION, conditions) != FALSE;
}

} // namespace Corvani::Nuv::CredentialProvider
