// Objects selected into DCs. Each pen, brush, font, palette and bitmap
// counts the DC states that hold it: the current states and those SaveDC
// kept. An object deleted while held is only marked: it stays usable by
// the DCs holding it and leaves the handle table with the last of them.
#pragma once
#include <windows.h>

#include "gdi32/dc.h"

namespace w32::gdi {

void RetainSelected(HGDIOBJ object);
// At the last release of an object marked for deletion, removes it.
void ReleaseSelected(HGDIOBJ object);
bool IsSelected(HGDIOBJ object);
// Marks a selected object for deletion at its last release.
void MarkDeletePending(HGDIOBJ object);

// The objects of a whole state: a DC made, saved, restored or deleted.
void RetainState(const DcState& state);
void ReleaseState(const DcState& state);

// Replaces the object in one slot of the DC's state, retaining the new one
// and releasing the old one; answers the old one.
HGDIOBJ ReplaceSelected(HGDIOBJ& slot, HGDIOBJ object);

// Lets go of everything a DC being deleted holds: its current and saved
// states, and the memory DC's claim on its bitmap.
void ReleaseDcObjects(DeviceContext& dc);

// What goes with an object leaving the handle table: a bitmap's engine
// surface leaves the engine's table (gdi32/deleteobject.cpp).
void DiscardObject(const std::shared_ptr<GdiObject>& object);

}  // namespace w32::gdi
