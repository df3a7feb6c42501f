// System information: versions, time, names, locale values and languages.
#pragma once
#include "winbase.h"
