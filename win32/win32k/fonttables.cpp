// Reading a face's sfnt tables (win32k/fonttables.h).
#include "win32k/fonttables.h"

namespace w32 {

uint16_t SfntTable::U16(size_t offset) const {
    if (!Holds(offset, 2)) return 0;
    return uint16_t(bytes_[offset] << 8 | bytes_[offset + 1]);
}

uint32_t SfntTable::U32(size_t offset) const {
    if (!Holds(offset, 4)) return 0;
    return uint32_t(U16(offset)) << 16 | U16(offset + 2);
}

std::u16string FaceNameString(const FontFile& file, ULONG face, USHORT nameId) {
    const std::span<const BYTE> name = file.Table(face, FontTag("name"));
    const SfntTable table(file, face, FontTag("name"));
    // Header: format, count, offset of the strings; then records of six
    // fields: platform, encoding, language, name id, length, offset.
    const uint16_t count = table.U16(2), strings = table.U16(4);
    constexpr uint16_t kWindows = 3, kMacintosh = 1, kUnicodeBmp = 1, kSymbol = 0, kUsEnglish = 0x409;
    int bestRank = 0;
    size_t bestRecord = 0;
    for (uint16_t i = 0; i < count; ++i) {
        const size_t record = 6 + 12 * size_t(i);
        if (!table.Holds(record, 12)) break;
        if (table.U16(record + 6) != nameId) continue;
        const uint16_t platform = table.U16(record), encoding = table.U16(record + 2),
                       language = table.U16(record + 4);
        int rank = 0;
        if (platform == kWindows && (encoding == kUnicodeBmp || encoding == kSymbol))
            rank = language == kUsEnglish ? 3 : 2;
        else if (platform == kMacintosh && encoding == 0 && language == 0)
            rank = 1;
        const size_t length = table.U16(record + 8), at = size_t(strings) + table.U16(record + 10);
        if (rank > bestRank && table.Holds(at, length)) bestRank = rank, bestRecord = record;
    }
    std::u16string text;
    if (bestRank == 0) return text;
    const size_t length = table.U16(bestRecord + 8), at = size_t(strings) + table.U16(bestRecord + 10);
    if (bestRank >= 2) {
        for (size_t i = 0; i + 1 < length; i += 2) text.push_back(char16_t(name[at + i] << 8 | name[at + i + 1]));
    } else {
        for (size_t i = 0; i < length; ++i) text.push_back(name[at + i] < 0x80 ? char16_t(name[at + i]) : u'?');
    }
    return text;
}

LONG CellHeightUnits(const FontFile& file, ULONG face) {
    const SfntTable os2Table(file, face, FontTag("OS/2"));
    if (os2Table.Holds(0, os2::kVersion0Size)) {
        const LONG cell = LONG(os2Table.U16(os2::kWinAscent)) + os2Table.U16(os2::kWinDescent);
        if (cell > 0) return cell;
    }
    const SfntTable hheaTable(file, face, FontTag("hhea"));
    const LONG cell = LONG(hheaTable.S16(hhea::kAscender)) - hheaTable.S16(hhea::kDescender);
    if (cell > 0) return cell;
    return file.Faces()[face].unitsPerEm;
}

}  // namespace w32
