// The header that resource scripts written for Windows often include.
#pragma once
#include "winresrc.h"

#define IDC_STATIC (-1)
