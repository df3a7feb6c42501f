// A kernel object that ReadFile, WriteFile, FlushFileBuffers and GetFileType
// work on: files now; pipes and devices implement the same interface.
#pragma once
#include <windows.h>

#include "kernel32/handles.h"

namespace w32 {

class IoObject : public KernelObject {
public:
    // Each returns 0 or a Win32 error; `done` is set in both cases.
    virtual DWORD Read(void* buffer, DWORD size, DWORD& done) = 0;
    virtual DWORD Write(const void* buffer, DWORD size, DWORD& done) = 0;
    virtual DWORD Flush() { return ERROR_INVALID_FUNCTION; }
    virtual DWORD FileType() const = 0;
};

}  // namespace w32
