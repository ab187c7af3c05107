#pragma once

class CPEvent;

// Receives the events of a Subject. The event is borrowed: the observer neither deletes it nor keeps the
// pointer after processEvent returns.
class IObserver {
public:
    virtual void processEvent(CPEvent* event) = 0;

protected:
    ~IObserver() = default;
};
