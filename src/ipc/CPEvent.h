#pragma once
// Events raised by the pipe server for the commands of the UI application. An event carries its type
// code and nothing else; observers tell the events apart by that code alone.

#include <cstdint>

class CPEvent {
public:
    virtual ~CPEvent() = default;
    uint32_t type = 0;

protected:
    explicit CPEvent(uint32_t eventType) : type(eventType) {}
};

// "LOGON": the credentials wait in the shared-memory store.
class CPLogonEvent : public CPEvent {
public:
    static constexpr uint32_t TypeCode = 0;
    CPLogonEvent() : CPEvent(TypeCode) {}
};

// "DESELECT": the tile is to be left.
class CPCloseEvent : public CPEvent {
public:
    static constexpr uint32_t TypeCode = 1;
    CPCloseEvent() : CPEvent(TypeCode) {}
};

// "UIINPUT": the UI application received input.
class CPINPUTEvent : public CPEvent {
public:
    static constexpr uint32_t TypeCode = 2;
    CPINPUTEvent() : CPEvent(TypeCode) {}
};
