#include "road/Timeline.h"

#include "Console.h"

#include <algorithm>
#include <cwchar>

namespace HxHost {

void Timeline::MarkAt(ULONGLONG tick, const std::wstring& text) {
    std::lock_guard<std::mutex> guard(_lock);
    _events.push_back({tick, text});
}

void Timeline::SetOrigin(ULONGLONG tick, const wchar_t* moment) {
    std::lock_guard<std::mutex> guard(_lock);
    _origin = tick;
    _moment = moment;
}

ULONGLONG Timeline::Since() const {
    std::lock_guard<std::mutex> guard(_lock);
    return GetTickCount64() - _origin;
}

ULONGLONG Timeline::Origin() const {
    std::lock_guard<std::mutex> guard(_lock);
    return _origin;
}

void Timeline::Print() const {
    std::lock_guard<std::mutex> guard(_lock);
    if (_events.empty())
        return;
    std::vector<Event> events = _events;
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.tick < b.tick; });
    PrintLine(std::wstring(L"Story (ms since ") + _moment + L"):");
    for (const Event& event : events) {
        wchar_t at[32];
        swprintf(at, 32, L"  %+7lld ms  ", static_cast<long long>(event.tick) - static_cast<long long>(_origin));
        PrintLine(at + event.text);
    }
}

} // namespace HxHost
