// GetFontData: bytes of the font file behind the DC's font.
//
// dwTable names what is read: a table of the face by its tag as the file
// stores it, read as a little-endian DWORD (MAKE_FONT_TABLE_TAG('c', 'm',
// 'a', 'p')); 0 for the face's font file: the whole file of a single font,
// and for a face in a collection the collection from that face's table
// directory to the file's end, as GDI gives it (the directory's offsets
// still count from the start of the collection); 'ttcf' for the whole file
// of a face in a collection. The read starts dwOffset bytes in.
//
// Without a buffer, or with a size of 0, the call answers the bytes from
// dwOffset to the end of what is named. Else it copies up to cjBuffer of
// them and answers how many it copied. GDI_ERROR with
// ERROR_INVALID_PARAMETER for a table the face lacks (or 'ttcf' for a face
// outside a collection) or an offset at or past the end; with
// ERROR_INVALID_HANDLE for a handle that is no DC.
#include <windows.h>

#include <algorithm>
#include <span>

#include "gdi32/fontquery.h"

namespace {

constexpr DWORD kWholeCollection = MAKE_FONT_TABLE_TAG('t', 't', 'c', 'f');

// The tag as FontFile keys tables: big-endian.
uint32_t FileTag(DWORD table) {
    return (table & 0xFF) << 24 | (table & 0xFF00) << 8 | (table >> 8 & 0xFF00) | table >> 24;
}

}  // namespace

DWORD WINAPI GetFontData(HDC hdc, DWORD dwTable, DWORD dwOffset, PVOID pvBuffer, DWORD cjBuffer) {
    w32::ChosenFace face;
    if (!w32::gdi::QueryDcFace(hdc, true, face)) return GDI_ERROR;
    if (!face.file) {  // a printer's own font has no file
        SetLastError(ERROR_NOT_SUPPORTED);
        return GDI_ERROR;
    }
    const w32::FontFile& file = *face.file;
    std::span<const BYTE> data;
    if (dwTable == 0) data = file.Bytes().subspan(file.FaceOffset(face.face));
    else if (dwTable == kWholeCollection) data = file.IsCollection() ? file.Bytes() : std::span<const BYTE>();
    else data = file.Table(face.face, FileTag(dwTable));
    if (dwOffset >= data.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return GDI_ERROR;
    }
    const std::span<const BYTE> rest = data.subspan(dwOffset);
    if (!pvBuffer || cjBuffer == 0) return DWORD(rest.size());
    const size_t copied = std::min<size_t>(cjBuffer, rest.size());
    std::copy(rest.begin(), rest.begin() + ptrdiff_t(copied), static_cast<BYTE*>(pvBuffer));
    return DWORD(copied);
}
