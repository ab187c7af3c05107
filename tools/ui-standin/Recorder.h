#pragma once
// Records what the stand-in receives and does, one line at a time, to stdout and to an optional file
// (rewritten at start, shared for reading while the stand-in runs).

#include "platform/CriticalSection.h"
#include "common/Utf8Text.h"
#include "platform/UniqueResource.h"

#include <string>

namespace HxUIStandIn {

class Recorder {
public:
    // With `times`, each line starts with GetTickCount64 (the same clock in every process) and a blank.
    Recorder(const std::wstring& file, bool times);
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void Line(const std::string& text);

private:
    Corvani::Nuv::Platform::CriticalSection _lock;
    Corvani::Nuv::Platform::UniqueFileHandle _file;
    bool _times;
};


} // namespace HxUIStandIn
