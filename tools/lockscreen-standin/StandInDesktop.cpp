// The scripted desktops as trees.

#include "StandInDesktop.h"

namespace HxLockScreen {

DesktopView ViewOf(Desktop desktop) {
    DesktopView view;
    switch (desktop) {
    case Desktop::SignInScreen:
        break;
    case Desktop::NoSignInWindow:
        view.signInWindow = false;
        view.focusClass = L"#32769";
        break;
    case Desktop::LockScreenPage:
        view.lockScreenPage = true;
        break;
    case Desktop::DesktopFocus:
        view.focusClass = L"#32769";
        break;
    case Desktop::FocusLonger:
        view.focusClass = L"#32769x";
        break;
    case Desktop::FocusShorter:
        view.focusClass = L"#3276";
        break;
    case Desktop::RootFails:
        view.rootFails = true;
        break;
    case Desktop::ConditionFails:
        view.conditionFails = true;
        break;
    case Desktop::FocusFails:
        view.focusFails = true;
        break;
    case Desktop::ClassNameFails:
        view.focusClass = L"#32769";
        view.classNameFails = true;
        break;
    }
    return view;
}

std::vector<Node> ChildrenOf(const DesktopView& view, Node node) {
    switch (node) {
    case Node::Root:
        if (view.signInWindow)
            return {Node::HostWindow, Node::SignInWindow};
        return {Node::HostWindow};
    case Node::SignInWindow:
        if (view.lockScreenPage)
            return {Node::CredentialPane, Node::LockScreenPage};
        return {Node::CredentialPane};
    default:
        return {};
    }
}

std::wstring NameOf(const DesktopView&, Node node) {
    switch (node) {
    case Node::Root:
        return L"Desktop 1";
    case Node::HostWindow:
        return L"Halvex test host";
    case Node::SignInWindow:
        return L"Windows sign-in";
    case Node::CredentialPane:
        return L"Sign-in options";
    case Node::LockScreenPage:
        return L"Lock screen";
    case Node::Focused:
        return L"Focused element";
    }
    return {};
}

std::wstring ClassOf(const DesktopView& view, Node node) {
    switch (node) {
    case Node::Root:
        return L"#32769";
    case Node::HostWindow:
        return L"HXHostWindow";
    case Node::SignInWindow:
        return L"SignInWindow";
    case Node::CredentialPane:
        return L"CredentialPane";
    case Node::LockScreenPage:
        return L"AccessPage";
    case Node::Focused:
        return view.focusClass;
    }
    return {};
}

} // namespace HxLockScreen
