#pragma once
// The story of one sign-in as the session and its event sinks tell it: moments on the one clock that every
// process of the walk-through shares (GetTickCount64). The road keeps and prints it (road/Timeline.h).

#include <windows.h>

#include <string>

namespace HxHost {

class Story {
public:
    void Mark(const std::wstring& text) { MarkAt(GetTickCount64(), text); }
    virtual void MarkAt(ULONGLONG tick, const std::wstring& text) = 0;
    // 0 ms of the story: the moment the provider was created, then the one the tile was selected.
    virtual void SetOrigin(ULONGLONG tick, const wchar_t* moment) = 0;
    virtual ULONGLONG Since() const = 0; // ms since the origin, now

protected:
    ~Story() = default;
};

} // namespace HxHost
