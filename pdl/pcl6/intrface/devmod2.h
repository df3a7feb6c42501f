// The check and merge of converted settings into the defaults of a device
// context. Nothing from outside is trusted: a public field is taken only
// when both sides say it is set and its value is in range, a private area
// only when every value in it passes its check; anything else keeps its
// default.
#pragma once
#include <windows.h>

#include "pcl6/intrface/renddevmode.h"

// The DEVMODE's version (dmSpecVersion) by its size: 188 gives 0x320, 212
// 0x400, 220 0x401, any other size the DEVMODE's own dmSpecVersion. 0 for a
// missing DEVMODE.
WORD CheckDevmodeVersion(const DEVMODEW* devmode);

// Merges `source` (converted settings, or none) into `target` (defaults),
// keeping the target's version and size fields. 1 when the target holds
// usable settings; 0 when the target is missing or either version is 0.
// A source without a device name merges nothing and leaves the defaults.
// `source`'s dmCopies is set to 1 when it lies outside 1..999.
BOOL Devmode_Prepare(RendDevmode* target, RendDevmode* source);

// The merge itself (see Devmode_Prepare); changes only the target and the
// source's dmCopies.
void Devmode_Validate(RendDevmode* target, RendDevmode* source);
