// GDI's font objects: a logical font, and the face the engine's mapper
// chose for it, kept until the machine's fonts change. What text is drawn
// with is the face realised at the DC's scale (gdi32/dcfont.h).
#pragma once
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <optional>

#include "gdi32/gdiobj.h"
#include "win32k/fontchoice.h"

namespace w32::gdi {

struct GdiFont : GdiObject {
    DWORD ObjectType() const override { return OBJ_FONT; }
    LOGFONTW logFont{};
    bool stock = false;

    // The mapper's choice for logFont, made on first use.
    mutable std::mutex choiceLock;
    mutable std::optional<ChosenFace> choice;
    mutable uint64_t choiceGeneration = 0;  // FontMachineGeneration() when it was made
};

}  // namespace w32::gdi
