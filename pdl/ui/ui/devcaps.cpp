// DrvDeviceCapabilities: what the printer can do, as applications ask it
// through DeviceCapabilitiesW.
#include <windows.h>
#include <winddiui.h>

#include <memory>
#include <vector>

#include "pcl6/intrface/util.h"
#include "ui/res/uires.h"
#include "ui/ui/devmode.h"
#include "ui/ui/papertable.h"
#include "ui/ui/resdll.h"
#include "ui/ui/settingsstore.h"

namespace {

constexpr DWORD kUnsupported = DWORD(-1);

// The paper sources: automatic, tray 1, manual, with their names.
constexpr WORD kBins[] = {DMBIN_AUTO, DMBIN_UPPER, DMBIN_MANUAL};
constexpr UINT kBinNames[] = {IDS_BIN_AUTO, IDS_BIN_TRAY1, IDS_BIN_MANUAL};
constexpr DWORD kBinCount = ARRAYSIZE(kBins);

// The resolutions the printer prints, x and y.
constexpr LONG kResolutions[][2] = {{600, 600}, {1200, 600}};

// The smallest and largest paper in tenths of a millimetre.
constexpr LONG kMinWidth = 762, kMinHeight = 1270, kMaxWidth = 2159, kMaxHeight = 3556;

// A custom size the user saved: the name it is listed under and its record.
struct SavedSize {
    SettingsName name;
    CustomPaperRecord record;
};

// The custom sizes the user saved, in the order of the store's name list.
// The list is sized by the store's own count, however many the file holds.
std::vector<SavedSize> SavedCustomSizes() {
    std::vector<SavedSize> sizes;
    CustomSizeStore store;
    const INT count = store.GetNameCount();
    if (count <= 0) return sizes;
    std::unique_ptr<SettingsName[]> names(new SettingsName[size_t(count)]());
    const INT listed = store.ListNames(names.get(), count);
    for (INT i = 0; i < listed && i < count; ++i) {
        SavedSize size{};
        lstrcpynW(size.name, names[i], ARRAYSIZE(size.name));
        if (store.Load(size.name, &size.record, sizeof(size.record))) sizes.push_back(size);
    }
    return sizes;
}

// Writes a text into a field of `chars` characters: cut to fit with its
// terminator, the rest of the field zero.
void PutName(LPWSTR field, int chars, LPCWSTR text) {
    ZeroMemory(field, chars * sizeof(WCHAR));
    lstrcpynW(field, text, chars);
}

// The language DLL's string, or its placeholder when it is missing.
void LoadName(HMODULE languageDll, UINT id, LPWSTR field, int chars) {
    WCHAR text[256];
    LoadUiString(languageDll, id, text, ARRAYSIZE(text));
    PutName(field, chars, text);
}

// The language DLL for the device, held for one call.
class LanguageDll {
public:
    explicit LanguageDll(LPCWSTR deviceName) { LoadLanguageDll(deviceName, &module_); }
    ~LanguageDll() {
        if (module_) FreeLibrary(module_);
    }
    LanguageDll(const LanguageDll&) = delete;
    LanguageDll& operator=(const LanguageDll&) = delete;
    HMODULE Get() const { return module_; }

private:
    HMODULE module_ = nullptr;
};

DWORD PaperNames(LPCWSTR deviceName, LPWSTR output, const std::vector<SavedSize>& custom) {
    if (output) {
        LanguageDll language(deviceName);
        for (const PaperTableEntry& paper : g_PaperTable) {
            LoadName(language.Get(), paper.nameId, output, CCHPAPERNAME);
            output += CCHPAPERNAME;
        }
        for (size_t i = 0; i < custom.size(); ++i, output += CCHPAPERNAME)
            FormatCustomPaperName(output, custom[i].name, custom[i].record, INT(i));
    }
    return DWORD(PAPER_TABLE_COUNT + custom.size());
}

}  // namespace

extern "C" DWORD WINAPI DrvDeviceCapabilities(HANDLE, PWSTR pDeviceName, WORD iDevCap, PVOID pvOutput, PDEVMODEW) {
    // The answers that the driver's defaults hold come from a default public
    // DEVMODE for the device, never from the caller's.
    DEVMODEW defaults;
    switch (iDevCap) {
        case DC_FIELDS:
        case DC_PAPERSIZE:
        case DC_MINEXTENT:
        case DC_MAXEXTENT:
        case DC_SIZE:
        case DC_EXTRA:
        case DC_VERSION:
        case DC_DRIVER:
        case DC_TRUETYPE:
            SetPublicDevmodeDefaults(&defaults, pDeviceName);
            break;
        default:
            break;
    }

    switch (iDevCap) {
        case DC_FIELDS: return defaults.dmFields;
        case DC_SIZE: return defaults.dmSize;
        case DC_EXTRA: return defaults.dmDriverExtra;
        case DC_VERSION: return defaults.dmSpecVersion;
        case DC_DRIVER: return defaults.dmDriverVersion;
        case DC_TRUETYPE: return (defaults.dmFields & DM_TTOPTION) ? DCTT_BITMAP : 0;
        case DC_MINEXTENT: return MAKELONG(kMinWidth, kMinHeight);
        case DC_MAXEXTENT: return MAKELONG(kMaxWidth, kMaxHeight);

        case DC_PAPERS: {
            const std::vector<SavedSize> custom = SavedCustomSizes();
            if (WORD* codes = static_cast<WORD*>(pvOutput)) {
                for (const PaperTableEntry& paper : g_PaperTable) *codes++ = WORD(paper.code);
                for (const SavedSize& size : custom) *codes++ = WORD(size.record.paperCode);
            }
            return DWORD(PAPER_TABLE_COUNT + custom.size());
        }
        case DC_PAPERSIZE: {
            const std::vector<SavedSize> custom = SavedCustomSizes();
            if (POINT* sizes = static_cast<POINT*>(pvOutput)) {
                for (const PaperTableEntry& paper : g_PaperTable)
                    *sizes++ = POINT{Dots600ToTenthMm(paper.portrait.width), Dots600ToTenthMm(paper.portrait.height)};
                for (const SavedSize& size : custom)
                    *sizes++ = POINT{Dots600ToTenthMm(size.record.width), Dots600ToTenthMm(size.record.height)};
            }
            return DWORD(PAPER_TABLE_COUNT + custom.size());
        }
        case DC_PAPERNAMES:
            return PaperNames(pDeviceName, static_cast<LPWSTR>(pvOutput), SavedCustomSizes());
        case DC_MEDIAREADY:
            return PaperNames(pDeviceName, static_cast<LPWSTR>(pvOutput), {});

        case DC_BINS:
            if (WORD* bins = static_cast<WORD*>(pvOutput)) CopyMemory(bins, kBins, sizeof(kBins));
            return kBinCount;
        case DC_BINNAMES:
            if (LPWSTR names = static_cast<LPWSTR>(pvOutput)) {
                LanguageDll language(pDeviceName);
                for (UINT id : kBinNames) {
                    LoadName(language.Get(), id, names, CCHBINNAME);
                    names += CCHBINNAME;
                }
            }
            return kBinCount;
        case DC_ENUMRESOLUTIONS:
            if (pvOutput) CopyMemory(pvOutput, kResolutions, sizeof(kResolutions));
            return ARRAYSIZE(kResolutions);
        case DC_FILEDEPENDENCIES:
            if (pvOutput) *static_cast<LPWSTR>(pvOutput) = 0;
            return 0;

        case DC_DUPLEX: return 1;
        case DC_ORIENTATION: return 90;
        case DC_COPIES: return 999;
        case DC_COLLATE: return 1;
        case DC_BINADJUST:
        case DC_STAPLE:
        case DC_PRINTRATEPPM: return 0;
        case DC_COLORDEVICE: return IsCallingApplication(u"MSPUB.EXE", nullptr) ? 1 : 0;
        default: return kUnsupported;
    }
}
