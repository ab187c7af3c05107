#pragma once
// What one automation object of the stand-in sees: the scripted desktop of the moment it was created, as
// a tree of a few nodes and the class of the focused element, with the calls the script makes fail.

#include "LockScreenScript.h"

#include <string>
#include <vector>

namespace HxLockScreen {

enum class Node {
    Root,           // the desktop root element
    HostWindow,     // another top-level window, whatever the script
    SignInWindow,   // "Windows sign-in"
    CredentialPane, // a child of the sign-in window that is not the lock screen page
    LockScreenPage, // class "AccessPage"
    Focused,        // the element with the keyboard focus
};

struct DesktopView {
    bool signInWindow = true;
    bool lockScreenPage = false;
    const wchar_t* focusClass = L"Edit";
    bool rootFails = false;
    bool conditionFails = false;
    bool focusFails = false;
    bool classNameFails = false;
};

DesktopView ViewOf(Desktop desktop);

// The children of a node in that view, in order.
std::vector<Node> ChildrenOf(const DesktopView& view, Node node);

std::wstring NameOf(const DesktopView& view, Node node);
std::wstring ClassOf(const DesktopView& view, Node node);

} // namespace HxLockScreen
