// The C runtime's threads: _beginthreadex and _endthreadex.
#pragma once
#include <cstdint>

#include "wincrt.h"

// The calling convention keywords of a Windows compiler mean nothing here.
#ifndef __stdcall
#define __stdcall
#endif
#ifndef __cdecl
#define __cdecl
#endif

// Starts a thread as CreateThread does (initflag may hold CREATE_SUSPENDED)
// and returns its handle, to be closed with CloseHandle; 0 with errno EINVAL
// for a null start address, EAGAIN when no thread can be made.
_CRTIMP uintptr_t _beginthreadex(void* security, unsigned stack_size, unsigned(__stdcall* start_address)(void*),
                                 void* arglist, unsigned initflag, unsigned* thrdaddr);
// Ends the calling thread with the given exit code.
_CRTIMP __attribute__((noreturn)) void _endthreadex(unsigned retval);
