// Threads, processes and thread-local storage.
#pragma once
#include "winbase.h"

// The exit code of a thread or process that has not ended.
#define STILL_ACTIVE 259

// CreateThread flags.
#define CREATE_SUSPENDED 0x00000004
#define STACK_SIZE_PARAM_IS_A_RESERVATION 0x00010000

// Access rights of a thread handle (the layer does not restrict handles).
#define THREAD_TERMINATE 0x0001
#define THREAD_SUSPEND_RESUME 0x0002
#define THREAD_QUERY_INFORMATION 0x0040
#define THREAD_ALL_ACCESS (STANDARD_RIGHTS_REQUIRED | SYNCHRONIZE | 0xFFFF)

typedef DWORD(WINAPI* PTHREAD_START_ROUTINE)(LPVOID lpThreadParameter);
typedef PTHREAD_START_ROUTINE LPTHREAD_START_ROUTINE;

// A thread made suspended starts running when ResumeThread brings its count
// to zero. SuspendThread only counts up a thread that has not started yet:
// suspending a running thread fails with ERROR_NOT_SUPPORTED.
WINBASEAPI HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                                      LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter, DWORD dwCreationFlags,
                                      LPDWORD lpThreadId);
WINBASEAPI DWORD WINAPI ResumeThread(HANDLE hThread);
WINBASEAPI DWORD WINAPI SuspendThread(HANDLE hThread);
WINBASEAPI __attribute__((noreturn)) void WINAPI ExitThread(DWORD dwExitCode);
// Ends a thread that has not started, or the calling thread (as ExitThread,
// so its destructors run). Another running thread cannot be stopped safely
// here: that fails with ERROR_NOT_SUPPORTED.
WINBASEAPI BOOL WINAPI TerminateThread(HANDLE hThread, DWORD dwExitCode);
WINBASEAPI BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
WINBASEAPI DWORD WINAPI GetThreadId(HANDLE Thread);

// Pseudo-handles for the caller: valid only in the calling thread, never closed.
WINBASEAPI HANDLE WINAPI GetCurrentThread(void);
WINBASEAPI DWORD WINAPI GetCurrentThreadId(void);
WINBASEAPI HANDLE WINAPI GetCurrentProcess(void);
WINBASEAPI DWORD WINAPI GetCurrentProcessId(void);

// Thread-local storage: 1088 slots, as on Windows.
#define TLS_MINIMUM_AVAILABLE 64
#define TLS_OUT_OF_INDEXES ((DWORD)0xFFFFFFFF)
WINBASEAPI DWORD WINAPI TlsAlloc(void);
// Sets the last error to ERROR_SUCCESS when it succeeds, so that a stored
// null can be told from a failure.
WINBASEAPI LPVOID WINAPI TlsGetValue(DWORD dwTlsIndex);
WINBASEAPI BOOL WINAPI TlsSetValue(DWORD dwTlsIndex, LPVOID lpTlsValue);
// Frees the slot and clears its value in every thread.
WINBASEAPI BOOL WINAPI TlsFree(DWORD dwTlsIndex);
