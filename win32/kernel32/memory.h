// What the layer's global and local memory holds, for tests that check a
// module returns every block it takes.
#pragma once
#include <cstddef>

namespace w32 {

// The GlobalAlloc and LocalAlloc blocks not yet freed in this process
// (heap blocks are not counted).
size_t LiveGlobalBlocks();

}  // namespace w32
