// The registry a fresh machine starts with: the keys a new Windows
// installation has that the layer and the programs it runs read (version,
// folders, fonts, print environments, code pages and locale, computer name),
// and the profile of the machine's user under HKEY_USERS.
#include <cstdio>
#include <utility>

#include "machine/fonts.h"
#include "machine/machine.h"
#include "machine/paths.h"
#include "machine/registry.h"
#include "machine/unicode.h"
#include "winreg.h"

namespace w32 {

namespace {

std::u16string Number(unsigned long long value) { return FromUtf8(std::to_string(value)); }

std::u16string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof(text), "%0*X", digits, value);
    return FromUtf8(text);
}

// Names of the locales the machine settings can carry.
std::u16string LocaleName(LANGID language) {
    static const std::pair<LANGID, const char16_t*> names[] = {
        {0x0401, u"ar-SA"}, {0x0404, u"zh-TW"}, {0x0405, u"cs-CZ"}, {0x0406, u"da-DK"}, {0x0407, u"de-DE"},
        {0x0408, u"el-GR"}, {0x0409, u"en-US"}, {0x040B, u"fi-FI"}, {0x040C, u"fr-FR"}, {0x040D, u"he-IL"},
        {0x040E, u"hu-HU"}, {0x0410, u"it-IT"}, {0x0411, u"ja-JP"}, {0x0412, u"ko-KR"}, {0x0413, u"nl-NL"},
        {0x0414, u"nb-NO"}, {0x0415, u"pl-PL"}, {0x0416, u"pt-BR"}, {0x0418, u"ro-RO"}, {0x0419, u"ru-RU"},
        {0x041B, u"sk-SK"}, {0x041D, u"sv-SE"}, {0x041E, u"th-TH"}, {0x041F, u"tr-TR"}, {0x042A, u"vi-VN"},
        {0x0804, u"zh-CN"}, {0x0809, u"en-GB"}, {0x0816, u"pt-PT"}, {0x0C0A, u"es-ES"}, {0x0C04, u"zh-HK"},
        {0x1004, u"zh-SG"},
    };
    for (const auto& [id, name] : names)
        if (id == language) return name;
    return {};
}

// The product name Windows records for a version; Windows 11 still records
// "Windows 10" here.
std::u16string ProductName(const MachineSettings& s) {
    bool server = s.productType != 1;
    if (s.osMajor >= 10) {
        if (!server) return u"Windows 10 Pro";
        if (s.osBuild >= 20348) return u"Windows Server 2022 Standard";
        if (s.osBuild >= 17763) return u"Windows Server 2019 Standard";
        return u"Windows Server 2016 Standard";
    }
    if (s.osMajor == 6) {
        switch (s.osMinor) {
            case 3: return server ? u"Windows Server 2012 R2 Standard" : u"Windows 8.1 Pro";
            case 2: return server ? u"Windows Server 2012 Standard" : u"Windows 8 Pro";
            case 1: return server ? u"Windows Server 2008 R2 Standard" : u"Windows 7 Professional";
            default: return server ? u"Windows Server (R) 2008 Standard" : u"Windows Vista (TM) Business";
        }
    }
    return server ? u"Microsoft Windows Server 2003" : u"Microsoft Windows XP";
}

}  // namespace

std::u16string UserSidString(std::u16string_view userName) {
    // FNV-1a over the upper-cased name, so that the SID follows the account
    // and not the spelling it was typed in.
    auto hash = [](std::u16string_view text, uint64_t seed) {
        uint64_t h = 0xcbf29ce484222325ull ^ seed;
        for (char16_t c : text) {
            h ^= uint64_t(FoldNameChar(c));
            h *= 0x100000001b3ull;
        }
        return h;
    };
    uint64_t first = hash(userName, 0);
    uint64_t second = hash(userName, 0x5bd1e995);
    return u"S-1-5-21-" + Number(uint32_t(first)) + u"-" + Number(uint32_t(first >> 32)) + u"-" +
           Number(uint32_t(second)) + u"-1001";
}

// The keys a fresh Windows installation has that the layer and the programs
// it runs read. Other parts of the layer add their own keys when they lay
// out a machine.
void Registry::LayOutMachineHive(const Machine& machine) {
    const MachineSettings& s = machine.Settings();
    RegistryKeyPtr hklm = LocalMachine();
    Ensure(hklm, u"SOFTWARE\\Classes");
    // The HTML Help control, which programs find by its class.
    SetString(Ensure(hklm, u"SOFTWARE\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32"), u"",
              machine.SystemDirectory() + u"\\hhctrl.ocx");

    auto setVersion = [&](const RegistryKeyPtr& nt) {
        SetString(nt, u"CurrentVersion", s.osMajor >= 10 ? u"6.3" : Number(s.osMajor) + u"." + Number(s.osMinor));
        if (s.osMajor >= 10) {
            SetDword(nt, u"CurrentMajorVersionNumber", s.osMajor);
            SetDword(nt, u"CurrentMinorVersionNumber", s.osMinor);
        }
        SetString(nt, u"CurrentBuild", Number(s.osBuild));
        SetString(nt, u"CurrentBuildNumber", Number(s.osBuild));
        SetString(nt, u"ProductName", ProductName(s));
        SetString(nt, u"InstallationType", s.productType == 1 ? u"Client" : u"Server");
        if (s.servicePackMajor) SetString(nt, u"CSDVersion", u"Service Pack " + Number(s.servicePackMajor));
        SetString(nt, u"SystemRoot", machine.WindowsDirectory());
        SetString(nt, u"RegisteredOwner", s.userName);
    };
    const std::u16string programFiles = u"C:\\Program Files";
    const std::u16string programFilesX86 = u"C:\\Program Files (x86)";
    auto setFolders = [&](const RegistryKeyPtr& cv, const std::u16string& programs) {
        SetString(cv, u"ProgramFilesDir", programs);
        SetString(cv, u"CommonFilesDir", programs + u"\\Common Files");
        if (s.is64Bit) {
            SetString(cv, u"ProgramFilesDir (x86)", programFilesX86);
            SetString(cv, u"CommonFilesDir (x86)", programFilesX86 + u"\\Common Files");
            SetString(cv, u"ProgramW6432Dir", programFiles);
            SetString(cv, u"CommonW6432Dir", programFiles + u"\\Common Files");
        }
        SetString(cv, u"DevicePath", u"%SystemRoot%\\inf", REG_EXPAND_SZ);
    };
    setFolders(Ensure(hklm, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion"), programFiles);
    setVersion(Ensure(hklm, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"));
    SetString(Ensure(hklm, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + userSid_),
              u"ProfileImagePath", machine.UserProfile(), REG_EXPAND_SZ);
    // The installed fonts, each by its file name in the font folder, and the
    // face names that stand for installed families.
    RegistryKeyPtr fonts = Ensure(hklm, kFontsKey);
    for (const StandardFont& font : StandardFonts()) SetString(fonts, font.valueName, font.fileName);
    RegistryKeyPtr substitutes = Ensure(hklm, kFontSubstitutesKey);
    for (const StandardFontSubstitute& substitute : StandardFontSubstitutes())
        SetString(substitutes, substitute.name, substitute.family);
    if (s.is64Bit) {
        // What a 32-bit program sees in its view of SOFTWARE.
        setFolders(Ensure(hklm, u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion"), programFilesX86);
        setVersion(Ensure(hklm, u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion"));
    }

    // CurrentControlSet is a link to ControlSet001 on Windows; here it is the key itself.
    RegistryKeyPtr control = Ensure(hklm, u"SYSTEM\\CurrentControlSet\\Control");
    Ensure(hklm, u"SYSTEM\\CurrentControlSet\\Services");
    Ensure(hklm, u"SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current");
    RegistryKeyPtr print = Ensure(control, u"Print");
    Ensure(print, u"Monitors");
    Ensure(print, u"Printers");
    auto environment = [&](const std::u16string& name, const std::u16string& directory) {
        RegistryKeyPtr env = Ensure(print, u"Environments\\" + name);
        SetString(env, u"Directory", directory);
        Ensure(env, u"Drivers");
        Ensure(env, u"Print Processors");
    };
    if (s.is64Bit) environment(u"Windows x64", u"x64");
    environment(u"Windows NT x86", u"W32X86");

    RegistryKeyPtr language = Ensure(control, u"Nls\\Language");
    SetString(language, u"Default", Hex(s.systemLanguage, 4));
    SetString(language, u"InstallLanguage", Hex(s.systemLanguage, 4));
    RegistryKeyPtr codePage = Ensure(control, u"Nls\\CodePage");
    SetString(codePage, u"ACP", Number(s.ansiCodePage));
    SetString(codePage, u"OEMCP", Number(s.oemCodePage));
    SetString(Ensure(control, u"ComputerName\\ComputerName"), u"ComputerName", s.computerName);
    SetString(Ensure(control, u"ComputerName\\ActiveComputerName"), u"ComputerName", s.computerName);
}

void Registry::LayOutUserKeys(const Machine& machine) {
    const MachineSettings& s = machine.Settings();
    RegistryKeyPtr users = Users();
    auto international = [&](const RegistryKeyPtr& profile, LANGID languageId) {
        RegistryKeyPtr intl = Ensure(profile, u"Control Panel\\International");
        SetString(intl, u"Locale", Hex(languageId, 8));
        std::u16string name = LocaleName(languageId);
        if (!name.empty()) SetString(intl, u"LocaleName", name);
        SetString(intl, u"iCountry", Number(s.country));
    };
    if (!users->FindSubkey(u".DEFAULT")) {
        RegistryKeyPtr defaults = Ensure(users, u".DEFAULT");
        Ensure(defaults, u"Software");
        international(defaults, s.systemLanguage);
    }
    RegistryKeyPtr user = Ensure(users, userSid_);
    Ensure(user, u"Software\\Classes");
    Ensure(user, u"Software\\Microsoft\\Windows\\CurrentVersion");
    international(user, s.userLanguage);
    RegistryKeyPtr environment = Ensure(user, u"Environment");
    SetString(environment, u"TEMP", u"%USERPROFILE%\\AppData\\Local\\Temp", REG_EXPAND_SZ);
    SetString(environment, u"TMP", u"%USERPROFILE%\\AppData\\Local\\Temp", REG_EXPAND_SZ);
}

}  // namespace w32
