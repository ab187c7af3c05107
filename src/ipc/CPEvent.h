#pragma once
// Events raised by the pipe server for the commands of the UI application.

#include <cstdint>

class CPEvent {
public:
    virtual ~CPEvent() = default;
    uint32_t type = 0;

protected:
    explicit CPEvent(uint32_t eventType) : type(eventType) {}
};

class CPLogonEvent : public CPEvent {
public:
    CPLogonEvent() : CPEvent(0) {}
};

class CPCloseEvent : public CPEvent {
public:
    CPCloseEvent() : CPEvent(1) {}
};

class CPINPUTEvent : public CPEvent {
public:
    CPINPUTEvent() : CPEvent(2) {}
};
