// Synchronisation: events, mutexes, semaphores, critical sections, waits, Sleep, interlocked operations.
#pragma once
#include "winbase.h"
