// What a simulated computer is: its operating system, names, languages,
// code pages, user rights and the program that runs on it.
#pragma once
#include <string>
#include "minwindef.h"

namespace w32 {

struct MachineSettings {
    // Operating system: Windows 10 by default.
    DWORD osMajor = 10;
    DWORD osMinor = 0;
    DWORD osBuild = 19045;
    DWORD platformId = 2;  // VER_PLATFORM_WIN32_NT
    BYTE productType = 1;  // VER_NT_WORKSTATION
    WORD servicePackMajor = 0;
    bool is64Bit = true;

    std::u16string computerName = u"KORVAN-PC";
    std::u16string userName = u"User";

    // Languages and locale.
    LANGID userLanguage = 0x0409;
    LANGID systemLanguage = 0x0409;
    LANGID uiLanguage = 0x0409;
    DWORD country = 1;  // LOCALE_ICOUNTRY
    UINT ansiCodePage = 1252;
    UINT oemCodePage = 437;

    // The user's groups.
    bool administrator = true;
    bool uacFiltered = false;

    // The program that runs on the machine: several parts of the driver
    // change behaviour for programs they recognise by name.
    std::u16string programPath = u"C:\\Program Files\\Korvan\\tamprint.exe";
    // The title of the program's active top-level window.
    std::u16string programWindowTitle = u"Document - Korvan Print";

    // GetVersionExW reports the true version only to a program whose manifest
    // declares support for it; others see 6.2.
    bool programManifestsVersion = false;

    // Minutes to add to UTC for local time.
    LONG timeZoneBiasMinutes = 0;

    // A virtual clock advances only when the machine sleeps, a wait times out
    // with nothing else to run, or a test moves it.
    bool virtualClock = false;
};

}  // namespace w32
