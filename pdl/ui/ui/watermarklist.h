// The user's list of watermarks on top of the watermark store: counted,
// loaded whole (an empty store is first seeded with the three default
// watermarks), saved, deleted and replaced by index.
#pragma once
#include <windows.h>

#include <memory>

#include "pcl6/intrface/watermark.h"

// The number of saved watermarks.
INT GetWatermarkCount();
// Every saved watermark in list order; `count` receives how many. An empty
// store is seeded with "[No Watermark]", "Confidential" and "Watermark"
// first. A record that cannot be read is left out.
std::unique_ptr<WatermarkRecord[]> LoadWatermarkList(INT* count);
// Stores the record under its own name; TRUE when stored.
BOOL SaveWatermark(const WatermarkRecord* record);
// Deletes the watermark `name`; 1.
INT DeleteWatermark(LPCWSTR name);
// One more than the largest index among the saved watermarks (1 when none is
// larger than 0).
INT NextWatermarkIndex();
// Deletes every saved watermark with the record's index and saves the record
// in its place: the result of the last save, 0 when no record had the index.
INT ReplaceWatermark(const WatermarkRecord* record);
