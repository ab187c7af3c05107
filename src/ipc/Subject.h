#pragma once
// The observable side of the events: keeps its observers (not owned), the most recently attached first.

#include "ipc/IObserver.h"
#include <list>

class Subject {
public:
    virtual ~Subject() = default;

    void attach(IObserver* observer);
    void notify(CPEvent* event);

protected:
    std::list<IObserver*> _observers;
};
