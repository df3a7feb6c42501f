// The check and merge of converted settings into a device context's
// defaults. Out-of-range values never fail a device context: whatever does
// not pass keeps its default.
#include <windows.h>

#include <cstddef>
#include <cstring>

#include "pcl6/intrface/devmod2.h"
#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/util.h"
#include "pcl6/intrface/xmodel.h"

namespace {

// Programs that feed a driver damaged settings on purpose get the defaults.
const char* const kStressPrograms[] = {"DevModeCorruptW.exe", "ntsd printdrvstress.exe", "printdrvstress.exe"};

// The names of the public fields, for the debug listing of fields the merge
// does not take.
const DbgName kFieldNames[] = {
    {DM_ORIENTATION, "DM_ORIENTATION"},   {DM_PAPERSIZE, "DM_PAPERSIZE"},
    {DM_PAPERLENGTH, "DM_PAPERLENGTH"},   {DM_PAPERWIDTH, "DM_PAPERWIDTH"},
    {DM_SCALE, "DM_SCALE"},               {DM_POSITION, "DM_POSITION"},
    {DM_NUP, "DM_NUP"},                   {DM_DISPLAYORIENTATION, "DM_DISPLAYORIENTATION"},
    {DM_COPIES, "DM_COPIES"},             {DM_DEFAULTSOURCE, "DM_DEFAULTSOURCE"},
    {DM_PRINTQUALITY, "DM_PRINTQUALITY"}, {DM_COLOR, "DM_COLOR"},
    {DM_DUPLEX, "DM_DUPLEX"},             {DM_YRESOLUTION, "DM_YRESOLUTION"},
    {DM_TTOPTION, "DM_TTOPTION"},         {DM_COLLATE, "DM_COLLATE"},
    {DM_FORMNAME, "DM_FORMNAME"},         {DM_LOGPIXELS, "DM_LOGPIXELS"},
    {DM_BITSPERPEL, "DM_BITSPERPEL"},     {DM_PELSWIDTH, "DM_PELSWIDTH"},
    {DM_PELSHEIGHT, "DM_PELSHEIGHT"},     {DM_DISPLAYFLAGS, "DM_DISPLAYFLAGS"},
    {DM_DISPLAYFREQUENCY, "DM_DISPLAYFREQUENCY"}, {DM_ICMMETHOD, "DM_ICMMETHOD"},
    {DM_ICMINTENT, "DM_ICMINTENT"},       {DM_MEDIATYPE, "DM_MEDIATYPE"},
    {DM_DITHERTYPE, "DM_DITHERTYPE"},     {DM_PANNINGWIDTH, "DM_PANNINGWIDTH"},
    {DM_PANNINGHEIGHT, "DM_PANNINGHEIGHT"}, {0, nullptr},
};

constexpr DWORD kMergedFields = DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_DEFAULTSOURCE |
                                DM_PRINTQUALITY | DM_COLOR | DM_DUPLEX | DM_YRESOLUTION | DM_TTOPTION | DM_COLLATE;

// The media a paper may take (media index 0..11 by bit), for the papers the
// media check knows.
struct PaperMedia {
    INT16 paper;
    WORD allowed;
};
constexpr WORD kAllButTransparency = 0x0FFF & ~(1u << 5);
constexpr WORD kEnvelopeMedia = (1u << 1) | (1u << 3) | (1u << 10);
constexpr WORD kSmallMedia = (1u << 1) | (1u << 5) | (1u << 10);
const PaperMedia kPaperMedia[] = {
    {9, kAllButTransparency},  {13, kAllButTransparency}, {11, kAllButTransparency},
    {28, kEnvelopeMedia},      {37, kEnvelopeMedia},      {20, kEnvelopeMedia},
    {27, kEnvelopeMedia},      {1, kAllButTransparency},  {5, kAllButTransparency},
    {14, kAllButTransparency}, {7, kAllButTransparency},  {245, kAllButTransparency},
    {250, kSmallMedia},        {246, kSmallMedia},        {252, kEnvelopeMedia},
    {243, kEnvelopeMedia},     {241, kEnvelopeMedia},     {242, kEnvelopeMedia},
    {34, kEnvelopeMedia},      {70, kEnvelopeMedia},      {276, kEnvelopeMedia},
    {277, kEnvelopeMedia},
};

// The media index a paper defaults to, by its class.
INT16 DefaultMedia(int paper) {
    switch (paper) {
        case 27: case 28: case 20: case 37: case 31:
        case 144: case 145: case 146: case 147: case 148: case 149: case 150:
            return 3;  // envelopes
        case 43: case 82:
            return 5;  // postcards
        default:
            return 0;  // plain papers, and papers of no class
    }
}

// The media indexes the job's paper types cover. The media table above
// knows twelve media (0..11), but the job names a paper type to the printer
// only for 0..6 ("PLAIN" to "TISSUE", in the PJL header and in BeginPage):
// a source media of 7..11 would print as a type the printer was never told
// of, so it is not taken and the target keeps its own.
constexpr int kLastMediaIndex = 6;

template <class T>
T Read(const RendPrivate& priv, size_t offset) {
    T value;
    std::memcpy(&value, reinterpret_cast<const BYTE*>(&priv) + offset, sizeof(T));
    return value;
}

// Copies `size` bytes at `offset` of the private part from the source.
void TakeArea(RendPrivate& target, const RendPrivate& source, size_t offset, size_t size) {
    std::memcpy(reinterpret_cast<BYTE*>(&target) + offset, reinterpret_cast<const BYTE*>(&source) + offset, size);
}

// A text ends within `count` characters when one of its first `count`
// characters is NUL.
template <class Ch>
bool EndsWithin(const Ch* text, int count) {
    for (int i = 0; i < count; ++i)
        if (text[i] == 0) return true;
    return false;
}

bool InRange(long value, long low, long high) { return value >= low && value <= high; }

bool BookletAreaValid(const RendPrivate& s) {
    return s.BookletOrder >= 0 && s.FirstGutterFlag >= 0 && s.SecondGutterFlag >= 0 && InRange(s.BookletGroupSheets, 1, 50) &&
           InRange(s.GutterWidth, 0, 1181);
}

bool ScaleAreaValid(const RendPrivate& s) {
    return InRange(s.ScalePercent, 25, 400) && InRange(s.PaperOverride, 0, 300);
}

bool WatermarkAreaValid(const RendWatermarkBlock& w) {
    // The face name must end inside its own field, so that nothing reading
    // it runs on into the size.
    return EndsWithin(w.TextCopy, 256) && EndsWithin(w.Text, 256) && EndsWithin(w.FaceName, 32) &&
           InRange(w.Angle, -90, 90) && UINT16(w.WatermarkOn) < 33 && w.Value1137 <= 1 && w.Value1056 < 8 &&
           w.FontSize >= 0 && w.Value1128 >= 0 && w.Value1130 >= 0 && w.Value1124 >= 0 && w.Tile >= 0 &&
           InRange(w.PositionMode, 0, 10) && w.Frame < 3;
}

bool FontAreaValid(const RendPrivate& s) {
    return s.Value13588 <= 1 && s.DefaultFontFace <= 1 && s.Value13607 <= 1 && s.Value13608 <= 1 &&
           InRange(s.DefaultFontSize, 50, 240) && InRange(s.Value13604, 0, 8) && s.Value13606 <= 3;
}

bool ColorAreaValid(const RendColorAdjust& c) {
    if (c.ResolutionStep != 0 || c.Value4 < 0 || c.Value28 < 0 || c.Value11 > 7 || c.Value32 > 3 || c.Value46 > 2 ||
        c.Value47 > 4)
        return false;
    if (!EndsWithin(c.Profile1, 256) || !EndsWithin(c.Profile2, 256)) return false;
    for (int g = 0; g < 4; ++g)
        for (int k = 0; k < 3; ++k)
            if (!InRange(c.Levels[g][k], -100, 100) || !InRange(c.Tones[g][k], -3, 3)) return false;
    return true;
}

bool HeaderAreaValid(const RendHeaderBlock& h) {
    if (!EndsWithin(h.FontName, 256)) return false;
    for (const RendHeaderItem& item : h.Items)
        if (item.Value < 0 || item.Kind >= 6) return false;
    return true;
}

bool ListAreaValid(const RendPrivate& s) {
    const RendListBlock& list = s.List;
    if (!EndsWithin(list.Address, 25)) return false;
    for (INT32 value : list.Values)
        if (value < 0) return false;
    if (!InRange(list.EntryCount, 0, REND_SIZE_LIST_ENTRIES)) return false;
    for (int i = 0; i < list.EntryCount; ++i) {
        // The entry's text is checked over 256 bytes, which may reach into
        // the entries after it but stays inside the block.
        const size_t text = offsetof(RendPrivate, List) + offsetof(RendListBlock, Entries) +
                            size_t(i) * sizeof(RendListEntry) + offsetof(RendListEntry, Text);
        static_assert(offsetof(RendListBlock, Entries) + (REND_SIZE_LIST_ENTRIES - 1) * sizeof(RendListEntry) +
                          offsetof(RendListEntry, Text) + 256 <= sizeof(RendListBlock));
        if (!EndsWithin(list.Entries[i].Name, 25) ||
            !EndsWithin(reinterpret_cast<const CHAR*>(&s) + text, 256))
            return false;
    }
    return true;
}

bool CustomAreaValid(const RendPrivate& s) {
    if (s.CustomPaperOn != 0 && s.CustomPaperOn != 1) return false;
    if (s.CustomPaperCode <= 0 || s.CustomPaperLength < 0 || s.CustomPaperWidth < 0) return false;
    for (const RendCustomSize& size : s.CustomSizes)
        if (size.CustomPaperWidth600 < 0 || size.CustomPaperLength600 < 0) return false;
    return true;
}

bool FeedAreaValid(const RendPrivate& s) {
    return s.Value1884 <= 1 && InRange(s.Value1886, 0, 1) && s.A5FeedFlags[0] <= 1 && s.A5FeedFlags[1] <= 1;
}

bool ShiftAreaValid(const RendPrivate& s) {
    if (s.ImageShiftDirection > 8 || s.PrintPosition >= 5 || s.FrontShift > 1181 || s.BackShift > 1181) return false;
    for (UINT16 value : s.Values138)
        if (value > 1181) return false;
    if (!InRange(s.AdjustX, -1181, 1181) || !InRange(s.AdjustY, -1181, 1181)) return false;
    for (const RendMargins& entry : s.MarginTable)
        for (INT16 margin : entry.Margin)
            if (!InRange(margin, 0, 1181)) return false;
    return true;
}

bool FormsAreaValid(const RendPrivate& s) {
    // Both folder fields must end inside themselves: the overlay code
    // builds file names from them.
    return s.OverlayMode <= 2 && EndsWithin(s.FormsFolder, 256) && EndsWithin(s.FormsFolderCopy, 256);
}

// The paper of a settings whose own paper cannot be used: A4 in A4
// countries, Letter elsewhere, sized from the model description.
void SetDefaultPaper(DEVMODEW& pub) {
    const int code = IsA4Country() ? DMPAPER_A4 : DMPAPER_LETTER;
    const XmodelPaper* paper = Xmodel_FindPaper(code);
    pub.dmPaperSize = SHORT(code);
    pub.dmPaperWidth = SHORT(paper->width * 0.42333333333333334 + 0.5);
    pub.dmPaperLength = SHORT(paper->height * 0.42333333333333334 + 0.5);
}

bool IsCustomPaper(int code) { return code >= XMODEL_CUSTOM_FIRST && code <= XMODEL_CUSTOM_LAST; }

void MergePublic(DEVMODEW& t, DEVMODEW& s) {
    auto both = [&](DWORD bit) { return (t.dmFields & bit) != 0 && (s.dmFields & bit) != 0; };
    if (both(DM_ORIENTATION))
        t.dmOrientation = s.dmOrientation == DMORIENT_PORTRAIT || s.dmOrientation == DMORIENT_LANDSCAPE
                              ? s.dmOrientation
                              : SHORT(DMORIENT_PORTRAIT);
    if (both(DM_COPIES)) {
        if (s.dmCopies > 999 || s.dmCopies < 1) s.dmCopies = 1;
        t.dmCopies = s.dmCopies;
    }
    if ((both(DM_PRINTQUALITY) || both(DM_YRESOLUTION)) && s.dmPrintQuality == DMRES_HIGH && s.dmYResolution == 600) {
        t.dmPrintQuality = DMRES_HIGH;
        t.dmYResolution = 600;
    }
    if (both(DM_DUPLEX) && InRange(s.dmDuplex, 1, 3)) t.dmDuplex = s.dmDuplex;
    if (both(DM_PAPERSIZE)) {
        if (Xmodel_IsPrintablePaper(s.dmPaperSize)) {
            t.dmPaperSize = s.dmPaperSize;
            t.dmPaperWidth = s.dmPaperWidth;
            t.dmPaperLength = s.dmPaperLength;
        } else {
            SetDefaultPaper(t);
        }
    }
    if (both(DM_DEFAULTSOURCE)) t.dmDefaultSource = s.dmDefaultSource;
    if (t.dmFields & DM_TTOPTION) t.dmTTOption = s.dmTTOption;
    if (both(DM_SCALE)) {
        if (InRange(s.dmScale, 10, 400))
            t.dmScale = s.dmScale;
        else
            Dbg_FileLine(__FILE__, __LINE__);
    }
    if (both(DM_COLLATE) && InRange(s.dmCollate, 0, 1)) t.dmCollate = s.dmCollate;
    if (both(DM_COLOR)) t.dmColor = 1;

    if (t.dmFields & ~kMergedFields) {
        char names[512];
        Dbg_FlagNames(t.dmFields & ~kMergedFields, kFieldNames, names, int(sizeof(names)));
        Dbg_Print("Devmode_Validate: fields not merged: %s\n", names);
    }
}

void MergePrivate(RendDevmode* target, const RendDevmode* source) {
    RendPrivate& t = target->priv;
    const RendPrivate& s = source->priv;

    // Single fields.
    if (InRange(s.FeedSource, 0, 2)) t.FeedSource = s.FeedSource;
    if (s.Value0 == 1 || s.Value0 == 2) t.Value0 = s.Value0;
    if (s.BookletOn < 3) t.BookletOn = s.BookletOn;
    if (s.LayoutFlag < 2 && s.Rotate180Mode < 4 && s.Value1882 < 3)
        TakeArea(t, s, offsetof(RendPrivate, LayoutFlag), 3);
    if (s.ResolutionByte <= 1) t.ResolutionByte = s.ResolutionByte;

    // N-up and layout pairs.
    const BYTE pps = s.PagesPerSheet;
    if ((pps == 1 || pps == 2 || pps == 4 || pps == 8 || pps == 16) && s.NupOrder < 4)
        TakeArea(t, s, offsetof(RendPrivate, PageBorderMode), 8);
    if (s.PosterSize < 3) TakeArea(t, s, offsetof(RendPrivate, PosterSize), 8);

    // Taken as they stand.
    t.OppositeOrder = s.OppositeOrder;
    t.DensityLevel = s.DensityLevel;
    t.HighResolutionRequested = s.HighResolutionRequested;
    t.Word14678 = s.Word14678;

    // Areas, each whole or not at all.
    if (BookletAreaValid(s)) TakeArea(t, s, offsetof(RendPrivate, BookletOrder), 24);
    if (ScaleAreaValid(s)) TakeArea(t, s, offsetof(RendPrivate, ScaleOn), 8);
    if (WatermarkAreaValid(s.Watermark)) t.Watermark = s.Watermark;
    if (FontAreaValid(s)) TakeArea(t, s, offsetof(RendPrivate, Value13588), 24);
    if (ColorAreaValid(s.ColorAdjust)) t.ColorAdjust = s.ColorAdjust;
    // 1200 dpi, asked for in either resolution field, renders at 1200 dpi.
    if (source->pub.dmPrintQuality == 1200 || source->pub.dmYResolution == 1200) {
        t.ColorAdjust.ResolutionStep = 1;
        t.ResolutionByte = 1;
        target->pub.dmPrintQuality = 1200;
        target->pub.dmYResolution = 1200;
    }
    if (HeaderAreaValid(s.Header)) t.Header = s.Header;
    if (ListAreaValid(s)) t.List = s.List;
    if (CustomAreaValid(s)) TakeArea(t, s, offsetof(RendPrivate, CustomPaperOn), 1296);
    if (FeedAreaValid(s)) TakeArea(t, s, offsetof(RendPrivate, Value1884), 6);
    if (ShiftAreaValid(s)) TakeArea(t, s, offsetof(RendPrivate, ImageShiftDirection), 424);
    if (FormsAreaValid(s)) TakeArea(t, s, offsetof(RendPrivate, OverlayMode), 1026);

    // Values no settings may change.
    t.Value13564 = 0;
    t.Value13566 = 0;
    t.OutputMask = 526;
    std::memset(t.DebugFile1, 0, sizeof(t.DebugFile1));
    std::memset(t.DebugFile2, 0, sizeof(t.DebugFile2));
    lstrcpynW(t.DebugFile1, u"c:\\ui.txt", 256);
    lstrcpynW(t.DebugFile2, u"c:\\text.txt", 256);
    t.RenderOptions |= 0x8C;
    t.ObjectRangeFirst = 0;
    t.ObjectRangeLast = 0;
    t.Value13628 = 60;
    t.ImageWidthPercent = 100;
    t.ImageHeightPercent = 100;
    t.ImageTrialThreshold = 100;

    // Copied as they stand.
    t.DuplexBinding = s.DuplexBinding;
    t.WatermarkFirstPageOnly = s.WatermarkFirstPageOnly;
    t.Value12 = s.Value12;
    t.Signature = s.Signature;
    if (EndsWithin(s.SettingsName, 40)) std::memcpy(t.SettingsName, s.SettingsName, sizeof(t.SettingsName));
    if (InRange(s.Value8, 0, 31)) t.Value8 = s.Value8;
}

// The media index of the merged settings: the source's, unless the paper
// override is a paper that cannot take it.
void MergeMedia(RendPrivate& t, const RendPrivate& s) {
    if (UINT16(s.MediaIndex) > kLastMediaIndex) return;
    const int paper = t.PaperOverride;
    if (paper >= 1 && paper <= 287) {
        for (const PaperMedia& row : kPaperMedia) {
            if (row.paper != paper) continue;
            if (!(row.allowed & (1u << s.MediaIndex))) {
                t.MediaIndex = DefaultMedia(paper);
                return;
            }
            break;
        }
    }
    t.MediaIndex = s.MediaIndex;
}

}  // namespace

WORD CheckDevmodeVersion(const DEVMODEW* devmode) {
    if (!devmode) {
        Dbg_Print("CheckDevmodeVersion get NULL pointer!\n");
        return 0;
    }
    switch (devmode->dmSize) {
        case 188: return 0x320;
        case 212: return 0x400;
        case 220: return 0x401;
        default: return devmode->dmSpecVersion;
    }
}

void Devmode_Validate(RendDevmode* target, RendDevmode* source) {
    if (!target || !source) return;
    if (source->pub.dmDeviceName[0] == 0) return;
    for (const char* program : kStressPrograms)
        if (IsCallingApplication(program, nullptr)) return;

    MergePublic(target->pub, source->pub);

    const bool privateUsable = source->pub.dmDriverVersion == REND_DRIVER_VERSION &&
                               source->pub.dmSpecVersion == REND_SPEC_VERSION &&
                               source->pub.dmDriverExtra == REND_PRIVATE_SIZE &&
                               source->priv.Signature == REND_SIGNATURE;
    if (privateUsable) MergePrivate(target, source);

    // A custom paper is usable only with its size: when the custom area was
    // not taken (or holds no size for that code) the default paper prints.
    const int paper = target->pub.dmPaperSize;
    if (IsCustomPaper(paper)) {
        const RendCustomSize& size = target->priv.CustomSizes[paper - XMODEL_CUSTOM_FIRST];
        if (!InRange(size.CustomPaperWidth600, 1, 32767) || !InRange(size.CustomPaperLength600, 1, 32767))
            SetDefaultPaper(target->pub);
    }

    if (!privateUsable) return;
    target->priv.PaperOrientation = BYTE(target->pub.dmOrientation);
    target->priv.RequestedPaperSize = target->pub.dmPaperSize;
    MergeMedia(target->priv, source->priv);
}

BOOL Devmode_Prepare(RendDevmode* target, RendDevmode* source) {
    if (!source) return TRUE;
    // Settings without a device name are not taken, but they do not fail
    // the device context: the defaults stand.
    if (CheckDevmodeVersion(&source->pub) == 0) return FALSE;
    const WORD targetVersion = CheckDevmodeVersion(target ? &target->pub : nullptr);
    if (targetVersion == 0) return FALSE;

    const DEVMODEW& kept = target->pub.dmDriverVersion != 0 ? target->pub : source->pub;
    const WORD specVersion = target->pub.dmDriverVersion != 0 ? targetVersion : source->pub.dmSpecVersion;
    const WORD size = kept.dmSize;
    const WORD driverExtra = kept.dmDriverExtra;
    const WORD driverVersion = kept.dmDriverVersion;
    Devmode_Validate(target, source);
    target->pub.dmSpecVersion = specVersion;
    target->pub.dmSize = size;
    target->pub.dmDriverExtra = driverExtra;
    target->pub.dmDriverVersion = driverVersion;
    return TRUE;
}
