// Files, folders, environment, INI files and the temporary folder.
#pragma once
#include "winbase.h"
