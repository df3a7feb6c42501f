// Modules and resources: loading libraries, exports, resources and string tables.
#pragma once
#include "winbase.h"
