// The settings every device context of the rendering DLL starts from, and
// the folder of its overlay forms.
#include <windows.h>

#include <cstring>

#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/util.h"
#include "pcl6/intrface/xmodel.h"

namespace {

// Copies a NUL-terminated text into a field of `capacity` characters, cut to
// leave room for the NUL; a surrogate pair is never split.
void CopyWide(WCHAR* field, int capacity, LPCWSTR text) {
    const int whole = lstrlenW(text);
    int length = whole < capacity - 1 ? whole : capacity - 1;
    if (length < whole && length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
    std::memcpy(field, text, size_t(length) * sizeof(WCHAR));
    field[length] = 0;
}

void CopyNarrow(CHAR* field, int capacity, LPCSTR text) {
    int length = 0;
    while (length < capacity - 1 && text[length]) ++length;
    std::memcpy(field, text, size_t(length));
    field[length] = 0;
}

// A zero-terminated environment value in a counted block, or null.
LPWSTR ReadEnvironment(LPCWSTR name) {
    DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return nullptr;
    auto* value = static_cast<LPWSTR>(Util_GlobalAlloc(nullptr, needed * sizeof(WCHAR)));
    if (!value) return nullptr;
    DWORD read = GetEnvironmentVariableW(name, value, needed);
    if (read == 0 || read >= needed) {
        Util_GlobalFree(nullptr, value);
        return nullptr;
    }
    return value;
}

}  // namespace

BOOL Util_GetFormsFolder(RendDevmode* settings) {
    if (!settings) return FALSE;
    RendPrivate& priv = settings->priv;
    std::memset(priv.FormsFolder, 0, sizeof(priv.FormsFolder));
    std::memset(priv.FormsFolderCopy, 0, sizeof(priv.FormsFolderCopy));

    const bool publicFolder = GetWindowsVersionClass() != 0;
    LPWSTR base = ReadEnvironment(publicFolder ? u"PUBLIC" : u"ALLUSERSPROFILE");
    if (!base) return FALSE;
    const WCHAR* parts[] = {base, publicFolder ? u"" : u"\\Documents", u"\\Brevant\\Form", u"\\"};
    // Joined part by part into the field, so that a long base is cut at
    // the field's end rather than written past it.
    const int capacity = int(sizeof(priv.FormsFolder) / sizeof(WCHAR));
    int length = 0;
    for (const WCHAR* part : parts) {
        CopyWide(priv.FormsFolder + length, capacity - length, part);
        length += lstrlenW(priv.FormsFolder + length);
    }
    Util_GlobalFree(nullptr, base);
    std::memcpy(priv.FormsFolderCopy, priv.FormsFolder, sizeof(priv.FormsFolderCopy));
    return TRUE;
}

BOOL Ui_DefaultSettings(RendDevmode* settings, LPCWSTR deviceName) {
    if (!settings) return FALSE;
    std::memset(settings, 0, sizeof(*settings));
    DEVMODEW& pub = settings->pub;
    RendPrivate& priv = settings->priv;
    if (deviceName) CopyWide(pub.dmDeviceName, CCHDEVICENAME, deviceName);

    pub.dmDriverVersion = REND_DRIVER_VERSION;
    pub.dmSpecVersion = REND_SPEC_VERSION;
    pub.dmSize = sizeof(DEVMODEW);
    pub.dmDriverExtra = REND_PRIVATE_SIZE;
    pub.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY |
                   DM_COLOR | DM_DUPLEX | DM_COLLATE;
    pub.dmOrientation = DMORIENT_PORTRAIT;
    const bool a4 = IsA4Country() != FALSE;
    if (a4) {
        pub.dmPaperSize = DMPAPER_A4;
        pub.dmPaperWidth = 2100;
        pub.dmPaperLength = 2970;
        CopyWide(pub.dmFormName, CCHFORMNAME, u"A4");
    } else {
        pub.dmPaperSize = DMPAPER_LETTER;
        pub.dmPaperWidth = 2159;
        pub.dmPaperLength = 2794;
        CopyWide(pub.dmFormName, CCHFORMNAME, u"Letter");
    }
    pub.dmCopies = 1;
    pub.dmColor = 1;
    pub.dmDuplex = 1;
    pub.dmTTOption = 1;
    pub.dmCollate = 1;
    pub.dmPrintQuality = 600;
    pub.dmYResolution = 600;
    pub.dmScale = 100;
    pub.dmDefaultSource = 7;

    priv.Value0 = 1;
    priv.Value8 = 25;
    CopyWide(priv.SettingsName, 40, u"Standard");
    priv.Signature = REND_SIGNATURE;
    priv.PagesPerSheet = 1;
    priv.ShiftFit = 1;
    priv.ScalePercent = 100;
    priv.RequestedPaperSize = pub.dmPaperSize;
    priv.PaperOrientation = BYTE(pub.dmOrientation);
    priv.CustomPaperCode = pub.dmPaperSize;
    priv.CustomPaperLength = pub.dmPaperLength;
    priv.CustomPaperWidth = pub.dmPaperWidth;
    priv.BookletGroupSheets = 5;
    priv.SecondGutterFlag = 1;
    priv.InchUnits = a4 ? 0 : 1;
    Util_GetFormsFolder(settings);
    priv.ColorAdjust.Value12 = 1;
    priv.ColorAdjust.Value46 = 1;
    priv.ColorAdjust.Value47 = 3;
    CopyWide(priv.Header.FontName, 256, u"Times New Roman");
    priv.Header.FontSize = 9;
    priv.Header.Value1032 = 1;
    priv.Info.Value0 = 1;
    Util_GetUserName(priv.Info.UserName);
    CopyNarrow(priv.List.Address, int(sizeof(priv.List.Address)), "255.255.255.255");
    priv.Value13588 = 1;
    priv.DefaultFontFace = 1;
    priv.DefaultFontSize = 95;
    priv.Value13604 = 2;
    priv.OutputMask = 526;
    CopyWide(priv.DebugFile1, 256, u"c:\\ui.txt");
    CopyWide(priv.DebugFile2, 256, u"c:\\text.txt");
    priv.Value13628 = 60;
    priv.RenderOptions |= 0x8C;
    priv.ImageWidthPercent = 100;
    priv.ImageHeightPercent = 100;
    priv.ImageTrialThreshold = 100;
    return TRUE;
}
