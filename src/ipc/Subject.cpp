#include "ipc/Subject.h"

#include "ipc/CPEvent.h"

#include <memory>

void Subject::attach(IObserver* observer) {
    _observers.push_front(observer);
}

void Subject::notify(CPEvent* event) {
    const std::unique_ptr<CPEvent> owned(event);
    for (IObserver* observer : _observers)
        observer->processEvent(owned.get());
}
