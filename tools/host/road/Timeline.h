#pragma once
// The story of one sign-in: the events a person cares about, from every process of the walk-through,
// on the one clock they share (GetTickCount64), printed as milliseconds since the tile was selected (since
// the provider was created while no tile is).

#include "logonui/Story.h"

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace HxHost {

class Timeline final : public Story {
public:
    void MarkAt(ULONGLONG tick, const std::wstring& text) override;
    void SetOrigin(ULONGLONG tick, const wchar_t* moment) override;
    ULONGLONG Since() const override;
    ULONGLONG Origin() const;

    // Prints "Story (ms since <moment>):" and the events in the order they happened; nothing without events.
    void Print() const;

private:
    struct Event {
        ULONGLONG tick;
        std::wstring text;
    };
    mutable std::mutex _lock;
    std::vector<Event> _events;
    ULONGLONG _origin = GetTickCount64();
    const wchar_t* _moment = L"the host started";
};

} // namespace HxHost
