#include "logging/TraceLog.h"

#include "logging/AnsiText.h"
#include "logging/DebugOutput.h"
#include "logging/HXLogger.h"
#include "logging/LocalClock.h"
#include "logging/LogLineFormat.h"

#include <windows.h>

namespace Corvani::Nuv::Logging {

namespace {

// The three loggers and the message prefixes are created once, on first use; threads that arrive while
// one is being created wait for it.
HXLogger& CPLogger() {
    static HXLogger logger(L"CP.log");
    return logger;
}

HXLogger& PipeServerLogger() {
    static HXLogger logger(L"PipeServer.log");
    return logger;
}

HXLogger& PipeClientLogger() {
    static HXLogger logger(L"PipeClient.log");
    return logger;
}

const std::string& CPMessagePrefix() {
    static const std::string prefix = MessagePrefix(GetCurrentProcessId(), " | ");
    return prefix;
}

const std::string& PipeServerMessagePrefix() {
    static const std::string prefix = MessagePrefix(GetCurrentProcessId(), " - ");
    return prefix;
}

const std::string& PipeClientMessagePrefix() {
    static const std::string prefix = MessagePrefix(GetCurrentProcessId(), " - ");
    return prefix;
}

void WritePipeLog(HXLogger& logger, const std::string& prefix, const std::string& message,
                  const std::string& uiPid) {
    if (logger.IsLoggingEnabled())
        logger.Write(AnsiToWide(ComposePipeMessage(prefix, message, uiPid)));
}

} // namespace

void WriteCPLog(const std::string& message) {
    try {
        HXLogger& logger = CPLogger();
        if (logger.IsLoggingEnabled())
            logger.Write(AnsiToWide(ComposeCPMessage(CPMessagePrefix(), GetCurrentThreadId(), message)));
    } catch (const std::exception&) {
        // Logging never fails its caller.
    }
}

void WriteCPLog(const char* message) noexcept {
    try {
        WriteCPLog(std::string(message));
    } catch (...) {
        // The text could not even be copied: the line is lost.
    }
}

void WritePipeServerLog(const std::string& message, const std::string& uiPid) {
    try {
        WritePipeLog(PipeServerLogger(), PipeServerMessagePrefix(), message, uiPid);
    } catch (const std::exception&) {
    }
}

void WritePipeClientLog(const std::string& message, const std::string& uiPid) {
    try {
        WritePipeLog(PipeClientLogger(), PipeClientMessagePrefix(), message, uiPid);
    } catch (const std::exception&) {
    }
}

std::string CurrentTimeString() {
    try {
        return FormatBannerTime(CurrentLocalTime());
    } catch (const std::exception&) {
        return std::string();
    }
}

void DroHelperTrace(const std::wstring& message) {
    try {
        SendDebugOutput(L"DroHelperLib - " + message + L"\n");
    } catch (const std::exception&) {
    }
}

} // namespace Corvani::Nuv::Logging
