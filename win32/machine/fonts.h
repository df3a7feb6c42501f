// The fonts a machine comes with. Each standard font is a file of the host's
// font packages; a machine with a drive shows it in C:\Windows\Fonts as a
// symbolic link to the host file (the files are large and a machine is made
// for every test), and its registry lists it under the key Windows keeps its
// fonts in. FontSubstitutes maps the face names programs and dialogs ask for
// (Arial, MS Shell Dlg, SimSun, ...) onto the installed families.
#pragma once
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace w32 {

// HKLM keys of the font registry.
inline constexpr char16_t kFontsKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
inline constexpr char16_t kFontSubstitutesKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";
// The machine's font folder.
inline constexpr char16_t kFontsFolder[] = u"C:\\Windows\\Fonts";

struct StandardFont {
    const char16_t* fileName;   // its name in C:\Windows\Fonts
    const char* hostPath;       // the file of the host's font package
    const char16_t* valueName;  // its value in the Fonts key: the faces' full names and "(TrueType)"
};

struct StandardFontSubstitute {
    const char16_t* name;    // the face name asked for ("Name" or "Name,charset")
    const char16_t* family;  // the installed family used instead
};

std::span<const StandardFont> StandardFonts();
std::span<const StandardFontSubstitute> StandardFontSubstitutes();

// The standard font of this file name (case-insensitive), or null.
const StandardFont* FindStandardFont(std::u16string_view fileName);

// Puts a symbolic link to each standard font's host file into a machine's
// font folder. A font whose host file is missing is left out. Throws
// MachineError when a link cannot be made.
void LinkStandardFonts(const std::filesystem::path& hostFontsFolder);

}  // namespace w32
