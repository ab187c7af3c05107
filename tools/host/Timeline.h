#pragma once
// The story of one sign-in: the events a person cares about, from every process of the walk-through,
// on the one clock they share (GetTickCount64), printed as milliseconds since the tile was selected.

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace HxHost {

class Timeline {
public:
    void Mark(const std::wstring& text) { MarkAt(GetTickCount64(), text); }
    void MarkAt(ULONGLONG tick, const std::wstring& text);
    // The moment the tile was selected: 0 ms of the story.
    void SetOrigin(ULONGLONG tick);
    ULONGLONG Since() const; // ms since the origin, now
    ULONGLONG Origin() const;

    // Prints the events in the order they happened.
    void Print() const;

private:
    struct Event {
        ULONGLONG tick;
        std::wstring text;
    };
    mutable std::mutex _lock;
    std::vector<Event> _events;
    ULONGLONG _origin = 0;
};

} // namespace HxHost
