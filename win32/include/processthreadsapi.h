// Threads, processes and thread-local storage.
#pragma once
#include "winbase.h"
