// Fields of a face's sfnt tables, as the engine's font descriptions
// (IFIMETRICS) and GDI's font queries (GetOutlineTextMetricsW, the
// enumeration's NEWTEXTMETRICEXW) report them: big-endian values at their
// offsets in the table, and the strings of its name table. A field past the
// end of a short or missing table reads as 0.
#pragma once
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "win32k/fontfile.h"

namespace w32 {

class SfntTable {
public:
    SfntTable(const FontFile& file, ULONG face, uint32_t tag) : bytes_(file.Table(face, tag)) {}
    explicit SfntTable(std::span<const BYTE> bytes) : bytes_(bytes) {}

    bool Present() const { return !bytes_.empty(); }
    bool Holds(size_t offset, size_t size) const { return offset <= bytes_.size() && bytes_.size() - offset >= size; }
    uint16_t U16(size_t offset) const;
    int16_t S16(size_t offset) const { return int16_t(U16(offset)); }
    uint32_t U32(size_t offset) const;
    int32_t S32(size_t offset) const { return int32_t(U32(offset)); }
    std::span<const BYTE> Bytes() const { return bytes_; }

private:
    std::span<const BYTE> bytes_;
};

// Offsets of the fields read.
namespace os2 {
inline constexpr size_t kVersion = 0, kAvgCharWidth = 2, kFsType = 8, kSubscriptXSize = 10, kSubscriptYSize = 12,
                        kSubscriptXOffset = 14, kSubscriptYOffset = 16, kSuperscriptXSize = 18,
                        kSuperscriptYSize = 20, kSuperscriptXOffset = 22, kSuperscriptYOffset = 24,
                        kStrikeoutSize = 26, kStrikeoutPosition = 28, kUnicodeRange = 42, kTypoAscender = 68,
                        kTypoDescender = 70, kTypoLineGap = 72, kWinAscent = 74, kWinDescent = 76,
                        kXHeight = 86, kCapHeight = 88;
// The fields of version 0 end here (sTypoAscender .. usWinDescent included).
inline constexpr size_t kVersion0Size = 78;
}  // namespace os2
namespace hhea {
inline constexpr size_t kAscender = 4, kDescender = 6, kLineGap = 8, kCaretSlopeRise = 18, kCaretSlopeRun = 20;
}
namespace head {
inline constexpr size_t kXMin = 36, kYMin = 38, kXMax = 40, kYMax = 42, kLowestRecPpem = 46;
}
namespace post {
inline constexpr size_t kItalicAngle = 4, kUnderlinePosition = 8, kUnderlineThickness = 10;
}

// Name ids of the name table.
inline constexpr USHORT kNameFamily = 1, kNameSubfamily = 2, kNameUnique = 3, kNameFull = 4;

// An English string of the face's name table: the Windows Unicode record
// for US English, else any Windows Unicode one, else a Macintosh Roman one
// in English (its ASCII half); records whose string lies outside the table
// are passed over. Empty when the face has none.
std::u16string FaceNameString(const FontFile& file, ULONG face, USHORT nameId);

// The face's cell in font units: usWinAscent + usWinDescent, else the
// hhea ascender minus descender, else the em (as the engine sizes fonts).
LONG CellHeightUnits(const FontFile& file, ULONG face);

}  // namespace w32
