// Brushes: solid colours and the hatch and pattern brushes defined once per
// job as PCL XL raster patterns.
#pragma once
#include <windows.h>

// Bytes the pattern pool may hand out.
#define PATTERN_POOL_LIMIT 102400
// Pattern identifiers start here.
#define PATTERN_FIRST_ID 8

struct PatternRecord;

// The PDEV's hatch and pattern cache (not carried over by a reset).
struct PatternCache {
    LPVOID Pool;              // chained blocks of small records
    INT32 PoolBytes;          // bytes taken from the pool
    INT32 PatternCount;       // patterns defined
    PatternRecord* Head;
};
