#include "ipc/Subject.h"

// Delivery arrives with the pipe server; until then nothing is registered or delivered.
void Subject::attach(IObserver* /*observer*/) {}

void Subject::notify(CPEvent* /*event*/) {}
