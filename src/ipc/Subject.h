#pragma once
// The observable side of the events: keeps its observers (not owned), the most recently attached first.

#include "ipc/IObserver.h"
#include <list>
#include <memory>

class CPEvent;

class Subject {
public:
    Subject() = default;
    Subject(const Subject&) = default;
    Subject& operator=(const Subject&) = default;
    virtual ~Subject() = default;

    // Inserts at the front; attaching an observer twice makes it see every event twice.
    void attach(IObserver* observer);

    // Hands the event to every observer from the front of the list to its end, then destroys it (also
    // when an observer throws). Observers borrow it for the call.
    void notify(std::unique_ptr<CPEvent> event);

protected:
    std::list<IObserver*> _observers;
};
