#pragma once

class CPEvent;

// Receives the events of a Subject.
class IObserver {
public:
    virtual void processEvent(CPEvent* event) = 0;

protected:
    ~IObserver() = default;
};
