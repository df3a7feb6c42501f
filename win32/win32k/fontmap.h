// The font mapper: which installed face (win32k/fonttable.h) draws a logical
// font, and what the engine adds to it (emboldening, slant, vertical
// writing). GDI asks it when a font is realised for a DC; GetTextFaceW
// answers the name it gives.
#pragma once
#include <windows.h>

#include "win32k/fontchoice.h"

namespace w32 {

// Always a face while any font is installed; with none, a ChosenFace without
// a file, and the caller fails.
ChosenFace MapFont(const LOGFONTW& logFont);

}  // namespace w32
