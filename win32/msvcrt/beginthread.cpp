// The C runtime's thread functions, on the layer's CreateThread.
#include <process.h>
#include <windows.h>

#include <cerrno>

uintptr_t _beginthreadex(void* security, unsigned stack_size, unsigned(__stdcall* start_address)(void*), void* arglist,
                         unsigned initflag, unsigned* thrdaddr) {
    if (!start_address) {
        errno = EINVAL;
        return 0;
    }
    // unsigned and DWORD are the same type, so the start routine is a thread start routine.
    DWORD id = 0;
    HANDLE thread =
        CreateThread(static_cast<LPSECURITY_ATTRIBUTES>(security), stack_size, start_address, arglist, initflag, &id);
    if (!thread) {
        errno = GetLastError() == ERROR_INVALID_PARAMETER ? EINVAL : EAGAIN;
        return 0;
    }
    if (thrdaddr) *thrdaddr = id;
    return reinterpret_cast<uintptr_t>(thread);
}

void _endthreadex(unsigned retval) { ExitThread(retval); }
