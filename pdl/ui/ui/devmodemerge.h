// How a DEVMODE that enters the user interface is checked and merged: the
// dmSpecVersion check of this DLL, the copy that negotiates sizes between two
// devmodes, the merge into a caller's buffer, and the takeover of an incoming
// devmode's public fields and, when it is one of ours, its private part.
//
// A devmode is the public DEVMODEW (dmSize bytes) followed by dmDriverExtra
// bytes of the driver's private part. Every routine here reads a devmode only
// within its own dmSize + dmDriverExtra, and writes a destination only within
// the capacity it is given: a copy that would need more fails instead.
#pragma once
#include <windows.h>

#include "pcl6/intrface/privdevmode.h"

// The dmSpecVersion this DLL reads a devmode as: 0 without a devmode; by its
// dmSize 192 gives 0x320, 216 gives 0x400, 224 gives 0x401; any other size
// gives the devmode's own dmSpecVersion.
WORD CheckDevmodeVersion(const DEVMODEW* devmode);

// Copies `source` into `destination`, which has `capacity` bytes. The
// destination keeps its dmSize, dmDriverExtra, dmDriverVersion and
// dmSpecVersion; a destination whose dmDriverVersion is 0 takes all four
// from the source. The smaller of the two public parts is copied, then the private
// part when both have the same dmDriverExtra; otherwise the destination's
// private part is zeroed. Returns the bytes copied (public plus private); 0
// when either fails the version check or when the destination's resulting
// size (dmSize + dmDriverExtra) does not fit `capacity`; then nothing is
// written.
DWORD CopyDevmodeNegotiated(DEVMODEW* destination, DWORD capacity, const DEVMODEW* source);

// Writes `current` into `out` (a buffer of `outCapacity` bytes). Without
// `incoming` the current devmode is copied whole; otherwise out is sized down
// to the smaller of the two: dmSpecVersion and dmSize of the one with the
// smaller dmSize, driver version and dmDriverExtra of the one with the
// smaller dmDriverExtra (the current one on ties). FALSE without `out`, when
// nothing could be copied, or when the result does not fit `outCapacity`.
BOOL MergeDevmodes(const DEVMODEW* current, const DEVMODEW* incoming, DEVMODEW* out, DWORD outCapacity);

// Takes the incoming public fields that pass their checks into `current`
// (each only when its DM_ bit is set in both devmodes); the colour is always
// monochrome. FALSE, with nothing taken, when the incoming devmode has no
// device name.
BOOL MergePublicFields(UiDevmode* current, const DEVMODEW* incoming);

// Checks an incoming devmode, merges its public fields into `current` and,
// when it is a devmode of this driver's version with a sound private part,
// takes the private part and repairs it. TRUE without `incoming`; FALSE, with
// `current` unchanged, when the incoming devmode is refused.
BOOL AcceptIncomingDevmode(UiDevmode* current, const DEVMODEW* incoming);
