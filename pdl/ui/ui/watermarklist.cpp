// The watermark list over a WatermarkStore made for each call.
#include "ui/ui/watermarklist.h"

#include <vector>

#include "ui/ui/devmode.h"
#include "ui/ui/settingsstore.h"

namespace {

// The default watermarks an empty list starts with, in this order.
const int kDefaultWatermarks[] = {SEEDED_WATERMARK_NONE, SEEDED_WATERMARK_CONFIDENTIAL, SEEDED_WATERMARK_WATERMARK};

// The record's name, ended inside its field.
void NameOf(const WatermarkRecord& record, WCHAR (&name)[ARRAYSIZE(WatermarkRecord::name)]) {
    lstrcpynW(name, record.name, ARRAYSIZE(name));
}

}  // namespace

INT GetWatermarkCount() {
    WatermarkStore store;
    return store.GetNameCount();
}

std::unique_ptr<WatermarkRecord[]> LoadWatermarkList(INT* count) {
    if (count) *count = 0;
    WatermarkStore store;
    if (store.GetNameCount() == 0)
        for (int seed : kDefaultWatermarks) SaveWatermark(&g_SeededWatermarks[seed]);
    INT names = store.GetNameCount();
    if (names <= 0) return nullptr;
    // The list is as long as the store says, however many that is.
    std::vector<SettingsName> list(static_cast<size_t>(names));
    names = store.ListNames(list.data(), names);
    std::unique_ptr<WatermarkRecord[]> records(new WatermarkRecord[static_cast<size_t>(names)]());
    INT loaded = 0;
    for (INT i = 0; i < names; ++i)
        if (store.Load(list[i], &records[loaded], sizeof(WatermarkRecord))) ++loaded;
    if (count) *count = loaded;
    return records;
}

BOOL SaveWatermark(const WatermarkRecord* record) {
    if (!record) return FALSE;
    WCHAR name[ARRAYSIZE(WatermarkRecord::name)];
    NameOf(*record, name);
    WatermarkStore store;
    return store.Save(name, record, sizeof(WatermarkRecord)) ? TRUE : FALSE;
}

INT DeleteWatermark(LPCWSTR name) {
    WatermarkStore store;
    store.Delete(name);
    return 1;
}

INT NextWatermarkIndex() {
    INT count = 0;
    std::unique_ptr<WatermarkRecord[]> records = LoadWatermarkList(&count);
    INT largest = 0;
    for (INT i = 0; i < count; ++i)
        if (records[i].index > largest) largest = records[i].index;
    return largest + 1;
}

INT ReplaceWatermark(const WatermarkRecord* record) {
    if (!record) return 0;
    INT count = 0;
    std::unique_ptr<WatermarkRecord[]> records = LoadWatermarkList(&count);
    INT result = 0;
    for (INT i = 0; i < count; ++i) {
        if (records[i].index != record->index) continue;
        WCHAR name[ARRAYSIZE(WatermarkRecord::name)];
        NameOf(records[i], name);
        DeleteWatermark(name);
        result = SaveWatermark(record);
    }
    return result;
}
