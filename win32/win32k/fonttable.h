// The fonts installed in the process, as the engine's font mapper and font
// enumeration see them: the files the current machine's registry lists under
// its Fonts key (read on first use, and again once the current machine has
// changed), and the files programs added with AddFontResourceW and
// AddFontResourceExW until they remove them.
//
// A registry value is a file name in C:\Windows\Fonts or a full path. A
// machine without a drive finds the standard fonts (machine/fonts.h) on the
// host, so text works without one. A file that is missing, truncated or no
// font is left out, noted in the debug log, and the others are installed.
#pragma once
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win32k/fontfile.h"

namespace w32 {

// One face of an installed font file.
struct InstalledFace {
    std::shared_ptr<const FontFile> file;
    ULONG face = 0;          // its number in the file
    bool enumerable = true;  // false when only added with FR_NOT_ENUM
    const FontFaceInfo& Info() const { return file->Faces()[face]; }
};

struct InstalledFamily {
    std::u16string name;               // the family name as its first face spells it
    std::vector<InstalledFace> faces;  // in the order they were installed; no face twice
};

// The families that have enumerable faces, in the order their first face was
// installed, each with its enumerable faces.
std::vector<InstalledFamily> EnumerateInstalledFamilies();

// A family by name, compared without regard to case as GDI compares face
// names, with all its faces (those added with FR_NOT_ENUM too). Nothing when
// no installed face has this family name.
std::optional<InstalledFamily> FindInstalledFamily(std::u16string_view name);

// Whether any font is installed at all.
bool AnyFontInstalled();

// Changes whenever the fonts to choose from may have changed: the current
// machine was made, opened or closed, or a font was added or removed. What
// was read from the machine's registry, and faces chosen earlier, are
// renewed once it has changed.
uint64_t FontMachineGeneration();

// AddFontResourceExW: installs the faces of a font file for the process. A
// bare file name is looked for in the current directory, then in the font
// folder; other paths are taken as given. Adding a file again (with the same
// flags) counts one more reference to it. Returns the number of faces in the
// file, or 0 with `*error`: ERROR_FILE_NOT_FOUND when there is no such file,
// ERROR_INVALID_DATA when it is no font that can be read.
int AddFontResourceFile(std::u16string_view path, DWORD flags, DWORD* error);

// RemoveFontResourceExW: takes back one reference of a file added with the
// same flags (the machine's own fonts count as added once, without flags);
// its faces leave the table with the last one. False with `*error`
// (ERROR_FILE_NOT_FOUND) when the file is not installed with these flags.
bool RemoveFontResourceFile(std::u16string_view path, DWORD flags, DWORD* error);

}  // namespace w32
