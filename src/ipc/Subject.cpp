#include "ipc/Subject.h"

#include "ipc/CPEvent.h"


void Subject::attach(IObserver* observer) {
    _observers.push_front(observer);
}

void Subject::notify(std::unique_ptr<CPEvent> event) {
    for (IObserver* observer : _observers)
        observer->processEvent(event.get());
}
