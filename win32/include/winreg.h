// The registry.
#pragma once
#include "winbase.h"
