// A face the engine chose for a logical font (win32k/fontmap.h): which file
// and which face in it, and what the engine adds because the face lacks it.
// Realising it at a size (win32k/fontrealize.h) gives the metrics and glyphs.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "win32k/fontfile.h"

namespace w32 {

struct DeviceFontFace;  // win32k/devicefont.h

struct ChosenFace {
    std::shared_ptr<const FontFile> file;  // null for a device font
    ULONG face = 0;               // the face's number in the file
    bool simulateBold = false;    // bold asked, the face is not bold: the engine emboldens
    bool simulateItalic = false;  // italic asked, the face is upright: the engine slants
    bool vertical = false;        // an "@" face: full-width glyphs turned for vertical writing
    BYTE charset = ANSI_CHARSET;  // the charset chosen (never DEFAULT_CHARSET)
    std::u16string faceName;      // what GetTextFaceW answers for it
    // A font of the printer itself, which its driver measures and draws;
    // `file` is then null and `face` 0.
    std::shared_ptr<const DeviceFontFace> device;

    // The installed face's description; only for a face with a file.
    const FontFaceInfo& Info() const { return file->Faces()[face]; }
};

}  // namespace w32
