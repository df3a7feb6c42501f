// Device fonts (win32k/devicefont.h): asking a driver for its fonts, their
// characters and their widths.
#include "win32k/devicefont.h"

#include <algorithm>
#include <cstring>

#include "win32k/driver.h"
#include "win32k/fontobj.h"

namespace w32 {

namespace {

// A driver claiming more faces than this is not believed beyond it.
constexpr ULONG kMostDeviceFonts = 4096;
// The most characters a face's glyph set is read for.
constexpr size_t kMostDeviceCharacters = 0x10000;

// A NUL-terminated name at a byte offset of the record, inside cjThis.
bool ReadName(const std::vector<uint64_t>& block, size_t size, PTRDIFF offset, std::u16string& name) {
    if (offset <= 0 || size_t(offset) >= size || offset % sizeof(WCHAR)) return false;
    const auto* text = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(block.data()) + offset);
    const size_t room = (size - size_t(offset)) / sizeof(WCHAR);
    const size_t length = std::find(text, text + room, WCHAR(0)) - text;
    if (length == room) return false;
    name.assign(text, length);
    return true;
}

// Gives the driver back what it handed out with an id.
void GiveBack(const PrinterDevice& device, const EnginePdev& pdev, PVOID data, ULONG_PTR id) {
    if (!id || !data) return;
    auto release = device.driver->Callback<PFN_DrvFree>(INDEX_DrvFree);
    if (!release) return;
    {
        DriverCall call(device);
        release(data, id);
    }
    RecordDdiCall("DrvFree", &pdev);
}

// The face's IFIMETRICS copied; false when the driver gave none or a bad one.
bool CopyMetrics(const IFIMETRICS* ifi, DeviceFontFace& face) {
    if (!ifi || ifi->cjThis < sizeof(IFIMETRICS) || ifi->cjThis > (1u << 20)) return false;
    face.ifiBlock.assign((ifi->cjThis + 7) / 8, 0);
    std::memcpy(face.ifiBlock.data(), ifi, ifi->cjThis);
    const IFIMETRICS& copy = face.Ifi();
    if (!ReadName(face.ifiBlock, copy.cjThis, copy.dpwszFamilyName, face.familyName) || face.familyName.empty())
        return false;
    if (!ReadName(face.ifiBlock, copy.cjThis, copy.dpwszFaceName, face.faceName)) face.faceName = face.familyName;
    return true;
}

// The face's characters and handles from the driver's glyph set, or its
// character range as its own handles.
void CopyGlyphSet(const FD_GLYPHSET* set, DeviceFontFace& face) {
    face.characters.clear();
    if (set) {
        for (ULONG r = 0; r < set->cRuns && face.characters.size() < kMostDeviceCharacters; ++r) {
            const WCRUN& run = set->awcrun[r];
            for (ULONG k = 0; k < run.cGlyphs && run.wcLow + k <= 0xFFFF; ++k)
                face.characters.emplace_back(WCHAR(run.wcLow + k), run.phg ? run.phg[k] : HGLYPH(run.wcLow + k));
        }
    } else {
        const IFIMETRICS& ifi = face.Ifi();
        for (ULONG ch = ifi.wcFirstChar; ch <= ifi.wcLastChar; ++ch) face.characters.emplace_back(WCHAR(ch), ch);
    }
    std::sort(face.characters.begin(), face.characters.end());
    face.characters.erase(std::unique(face.characters.begin(), face.characters.end(),
                                      [](const auto& a, const auto& b) { return a.first == b.first; }),
                          face.characters.end());
    face.handles.clear();
    for (const auto& entry : face.characters) face.handles.push_back(entry.second);
    std::sort(face.handles.begin(), face.handles.end());
    face.handles.erase(std::unique(face.handles.begin(), face.handles.end()), face.handles.end());
}

std::shared_ptr<const DeviceFontFace> AskFace(const std::shared_ptr<PrinterDevice>& device, const EnginePdev& pdev,
                                              ULONG iFace) {
    auto query = device->driver->Callback<PFN_DrvQueryFont>(INDEX_DrvQueryFont);
    auto face = std::make_shared<DeviceFontFace>();
    face->iFace = iFace;
    face->device = device;
    ULONG_PTR id = 0;
    PIFIMETRICS ifi;
    {
        DriverCall call(*device);
        ifi = query(pdev.dhpdev, 0, iFace, &id);
    }
    RecordDdiCall("DrvQueryFont", &pdev, nullptr, iFace);
    const bool good = CopyMetrics(ifi, *face);
    GiveBack(*device, pdev, ifi, id);
    if (!good) return nullptr;

    const FD_GLYPHSET* set = nullptr;
    id = 0;
    if (auto tree = device->driver->Callback<PFN_DrvQueryFontTree>(INDEX_DrvQueryFontTree)) {
        {
            DriverCall call(*device);
            set = static_cast<const FD_GLYPHSET*>(tree(pdev.dhpdev, 0, iFace, QFT_GLYPHSET, &id));
        }
        RecordDdiCall("DrvQueryFontTree", &pdev, nullptr, iFace);
    }
    CopyGlyphSet(set, *face);
    GiveBack(*device, pdev, const_cast<FD_GLYPHSET*>(set), id);
    return face;
}

}  // namespace

HGLYPH DeviceFontFace::Glyph(WCHAR ch, bool* present) const {
    const auto at = std::lower_bound(characters.begin(), characters.end(), std::pair<WCHAR, HGLYPH>(ch, 0),
                                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const bool found = at != characters.end() && at->first == ch;
    if (present) *present = found;
    return found ? at->second : 0;
}

bool DeviceFontFace::HasGlyph(HGLYPH glyph) const { return std::binary_search(handles.begin(), handles.end(), glyph); }

DeviceFontList DeviceFonts(const std::shared_ptr<PrinterDevice>& device) {
    if (!device) return {};
    std::lock_guard lock(EngineLock());
    EnginePdev* pdev = device->pdev.get();
    if (!pdev || !device->driver) return {};
    if (pdev->deviceFonts) return *pdev->deviceFonts;
    pdev->deviceFonts.emplace();
    ULONG count = pdev->devInfo.cFonts;
    auto query = device->driver->Callback<PFN_DrvQueryFont>(INDEX_DrvQueryFont);
    if (!count || !query) return {};
    if (count == ULONG(-1)) {
        // The driver counts its faces when asked for face 0.
        ULONG_PTR id = 0;
        PIFIMETRICS answer;
        {
            DriverCall call(*device);
            answer = query(pdev->dhpdev, 0, 0, &id);
        }
        RecordDdiCall("DrvQueryFont", pdev, nullptr, 0);
        const ULONG_PTR counted = reinterpret_cast<ULONG_PTR>(answer);
        count = counted == ULONG_PTR(-1) ? 0 : ULONG(std::min<ULONG_PTR>(counted, kMostDeviceFonts));
    }
    count = std::min(count, kMostDeviceFonts);
    for (ULONG iFace = 1; iFace <= count; ++iFace)
        if (auto face = AskFace(device, *pdev, iFace)) pdev->deviceFonts->push_back(std::move(face));
    return *pdev->deviceFonts;
}

bool QueryDeviceAdvanceWidths(const RealizedFont& font, std::vector<LONG>& widths) {
    const DeviceFontFace* face = font.Device();
    if (!face) return false;
    const std::shared_ptr<PrinterDevice> device = face->device.lock();
    if (!device) return false;
    std::lock_guard lock(EngineLock());
    const EnginePdev* pdev = device->pdev.get();
    if (!pdev || !device->driver) return false;
    auto ask = device->driver->Callback<PFN_DrvQueryAdvanceWidths>(INDEX_DrvQueryAdvanceWidths);
    if (!ask) return false;
    if (face->handles.empty()) {
        widths.clear();
        return true;
    }
    EngineFont& object = FontObjectFor(device.get(), font.shared_from_this());
    std::vector<HGLYPH> glyphs = face->handles;
    std::vector<USHORT> answer(glyphs.size(), 0);
    BOOL answered;
    {
        DriverCall call(*device);
        answered = ask(pdev->dhpdev, &object, QAW_GETWIDTHS, glyphs.data(), answer.data(), ULONG(glyphs.size()));
    }
    object.givenToDriver = true;
    RecordDdiCall("DrvQueryAdvanceWidths", pdev, nullptr, ULONG(glyphs.size()));
    if (!answered) return false;
    // 12.4 fixed point, rounded to whole pixels.
    widths.resize(answer.size());
    for (size_t i = 0; i < answer.size(); ++i) widths[i] = LONG((answer[i] + 8u) >> 4);
    return true;
}

}  // namespace w32
