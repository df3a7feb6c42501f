// The count of DC states holding each selected object, and the deletion
// of objects that were deleted while selected.
//
// Windows lets a program delete a pen, brush, font or palette that a DC
// still holds: DeleteObject answers TRUE and the object goes once no DC
// holds it. The layer does the same; the DCs keep drawing with it until
// they select another object or are deleted.
#include "gdi32/selection.h"

#include <map>
#include <mutex>
#include <set>

#include "gdi32/objects.h"

namespace w32::gdi {

namespace {

struct SelectionTable {
    std::mutex lock;
    std::map<HGDIOBJ, size_t> holders;
    std::set<HGDIOBJ> deletePending;
};

SelectionTable& Table() {
    static SelectionTable table;
    return table;
}

}  // namespace

void RetainSelected(HGDIOBJ object) {
    if (!object) return;
    SelectionTable& table = Table();
    std::lock_guard guard(table.lock);
    ++table.holders[object];
}

void ReleaseSelected(HGDIOBJ object) {
    if (!object) return;
    SelectionTable& table = Table();
    bool remove = false;
    {
        std::lock_guard guard(table.lock);
        auto found = table.holders.find(object);
        if (found == table.holders.end()) return;
        if (--found->second == 0) {
            table.holders.erase(found);
            remove = table.deletePending.erase(object) > 0;
        }
    }
    if (remove) DiscardObject(RemoveGdiObject(object));
}

bool IsSelected(HGDIOBJ object) {
    SelectionTable& table = Table();
    std::lock_guard guard(table.lock);
    return table.holders.count(object) > 0;
}

void MarkDeletePending(HGDIOBJ object) {
    SelectionTable& table = Table();
    std::lock_guard guard(table.lock);
    table.deletePending.insert(object);
}

void RetainState(const DcState& state) {
    for (HGDIOBJ object : {state.pen, state.brush, state.font, state.bitmap, state.palette}) RetainSelected(object);
}

void ReleaseState(const DcState& state) {
    for (HGDIOBJ object : {state.pen, state.brush, state.font, state.bitmap, state.palette}) ReleaseSelected(object);
}

HGDIOBJ ReplaceSelected(HGDIOBJ& slot, HGDIOBJ object) {
    HGDIOBJ previous = slot;
    RetainSelected(object);
    slot = object;
    ReleaseSelected(previous);
    return previous;
}

void ReleaseDcObjects(DeviceContext& dc) {
    if (auto bitmap = LookupGdiObjectAs<GdiBitmap>(dc.state.bitmap); bitmap && bitmap->selectedInto == dc.handle)
        bitmap->selectedInto = nullptr;
    ReleaseState(dc.state);
    for (const DcState& saved : dc.saved) ReleaseState(saved);
    dc.saved.clear();
}

}  // namespace w32::gdi
