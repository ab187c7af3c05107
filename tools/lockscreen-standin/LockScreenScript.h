#pragma once
// Scripting the lock-screen stand-in from outside the process that loaded it, and reading what it holds.
//
// The desktop the stand-in shows is one text value, "Desktop", under HKCU\Software\Halvex Test\LockScreen,
// read each time an automation object is created: each question of the provider sees the desktop of that
// moment, and one value written at once never shows a half-changed desktop. An absent or unknown value is
// the sign-in screen without the lock screen. From a shell:
//   wine reg add "HKCU\Software\Halvex Test\LockScreen" /v Desktop /d page /f
// or hx_lockscreen.exe set page.
//
// The stand-in counts the automation objects, elements and conditions alive in each process that loaded it,
// in a named section of that process id, which any process of the user can read at any moment.

#include "platform/UniqueResource.h"

#include <cwchar>
#include <string>
#include <windows.h>

namespace HxLockScreen {

enum class Desktop {
    SignInScreen,   // the sign-in window, no lock screen page, the focus on an edit field
    NoSignInWindow, // no sign-in window on the desktop (the focus rests on the desktop window)
    LockScreenPage, // the sign-in window with its "AccessPage" child
    DesktopFocus,   // the sign-in window without the page, the focus on the desktop window "#32769"
    FocusLonger,    // as DesktopFocus, but the focused element's class is "#32769x"
    FocusShorter,   // as DesktopFocus, but the focused element's class is "#3276"
    RootFails,      // GetRootElement fails
    ConditionFails, // CreatePropertyCondition fails
    FocusFails,     // the sign-in window without the page; GetFocusedElement fails
    ClassNameFails, // the sign-in window without the page; the focused element's get_CurrentClassName fails
};

struct DesktopName {
    Desktop desktop;
    const wchar_t* name;
};

inline constexpr DesktopName kDesktopNames[] = {
    {Desktop::SignInScreen, L"signin"},         {Desktop::NoSignInWindow, L"none"},
    {Desktop::LockScreenPage, L"page"},         {Desktop::DesktopFocus, L"desktop-focus"},
    {Desktop::FocusLonger, L"focus-longer"},    {Desktop::FocusShorter, L"focus-shorter"},
    {Desktop::RootFails, L"root-fails"},        {Desktop::ConditionFails, L"condition-fails"},
    {Desktop::FocusFails, L"focus-fails"},      {Desktop::ClassNameFails, L"classname-fails"},
};

inline constexpr wchar_t kScriptKey[] = L"Software\\Halvex Test\\LockScreen";
inline constexpr wchar_t kDesktopValue[] = L"Desktop";

inline const wchar_t* NameOf(Desktop desktop) {
    for (const DesktopName& entry : kDesktopNames)
        if (entry.desktop == desktop)
            return entry.name;
    return L"signin";
}

inline bool ParseDesktop(const wchar_t* name, Desktop& desktop) {
    for (const DesktopName& entry : kDesktopNames)
        if (std::wcscmp(entry.name, name) == 0) {
            desktop = entry.desktop;
            return true;
        }
    return false;
}

// The stored name, empty when there is none.
inline std::wstring ReadDesktopName() {
    wchar_t name[64] = {};
    DWORD bytes = sizeof(name) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, kScriptKey, kDesktopValue, RRF_RT_REG_SZ, nullptr, name, &bytes) !=
        ERROR_SUCCESS)
        return {};
    return name;
}

inline Desktop ReadDesktop() {
    Desktop desktop = Desktop::SignInScreen;
    const std::wstring name = ReadDesktopName();
    return ParseDesktop(name.c_str(), desktop) ? desktop : Desktop::SignInScreen;
}

// Writes the name as it is (an empty text removes the value); true when stored.
inline bool WriteDesktopName(const std::wstring& name) {
    if (name.empty()) {
        const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, kScriptKey, kDesktopValue);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    const DWORD bytes = static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_CURRENT_USER, kScriptKey, kDesktopValue, REG_SZ, name.c_str(), bytes) ==
           ERROR_SUCCESS;
}

inline bool SetDesktop(Desktop desktop) { return WriteDesktopName(NameOf(desktop)); }

// Sets the desktop for a scope and puts back the stored name (or its absence) afterwards.
class ScopedDesktop {
public:
    explicit ScopedDesktop(Desktop desktop) : _previous(ReadDesktopName()) { SetDesktop(desktop); }
    ~ScopedDesktop() { WriteDesktopName(_previous); }
    ScopedDesktop(const ScopedDesktop&) = delete;
    ScopedDesktop& operator=(const ScopedDesktop&) = delete;
    void Set(Desktop desktop) { SetDesktop(desktop); }

private:
    std::wstring _previous;
};

// The counters of one process, as the stand-in keeps them in shared memory.
struct LiveObjects {
    volatile LONG automations;        // automation objects alive
    volatile LONG elements;           // elements alive
    volatile LONG conditions;         // conditions alive
    volatile LONG automationsCreated; // automation objects created since the section came to be
};

inline std::wstring CountersSectionName(DWORD processId) {
    return L"Local\\HalvexLockScreenStandIn." + std::to_wstring(processId);
}

// The counters section of a process, created if it does not exist yet; the stand-in and any reader open
// the same one, and it lives while one of them holds it.
class CountersSection {
public:
    explicit CountersSection(DWORD processId = GetCurrentProcessId())
        : _mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LiveObjects),
                                      CountersSectionName(processId).c_str())),
          _view(_mapping ? MapViewOfFile(_mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(LiveObjects))
                         : nullptr) {}

    // Null when the section could not be made.
    LiveObjects* Counters() const { return static_cast<LiveObjects*>(_view.get()); }

    // A snapshot of the counters (all zero when unavailable).
    LiveObjects Read() const {
        LiveObjects snapshot = {};
        if (LiveObjects* counters = Counters()) {
            snapshot.automations = InterlockedCompareExchange(&counters->automations, 0, 0);
            snapshot.elements = InterlockedCompareExchange(&counters->elements, 0, 0);
            snapshot.conditions = InterlockedCompareExchange(&counters->conditions, 0, 0);
            snapshot.automationsCreated = InterlockedCompareExchange(&counters->automationsCreated, 0, 0);
        }
        return snapshot;
    }

private:
    Corvani::Nuv::Platform::UniqueHandle _mapping;
    Corvani::Nuv::Platform::UniqueMappedView _view;
};

} // namespace HxLockScreen
