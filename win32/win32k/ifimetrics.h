// IFIMETRICS: a face as a driver reads it from FONTOBJ_pifi, made from the
// face's own tables (head, hhea, OS/2, post, name, kern) in its notional
// units, y up.
//
// The record is followed by its strings, each at its byte offset from the
// record's start and counted in cjThis: the family name (dpwszFamilyName),
// the style ("Regular", "Bold", ...), the full name as the face name
// (dpwszFaceName: the family name itself for a regular face, "DejaVu Sans
// Bold" for a bold one), the unique name (name 3 of the name table, else
// the full name), and the charsets the face covers (dpCharSets: sixteen
// bytes, GDI's order of preference, ended by DEFAULT_CHARSET). A vertical
// ("@") face has "@" before its family and face names.
//
//   fsSelection   the face's own OS/2 fsSelection bits (FM_SEL_* have the
//                 same values), else what its bold and italic flags say
//   fsType        the embedding bits of OS/2 fsType (FM_TYPE_LICENSED,
//                 FM_READONLY_EMBED, FM_EDITABLE_EMBED)
//   jWinPitchAndFamily  FF_* | FIXED_PITCH or VARIABLE_PITCH, as in a LOGFONT
//   jWinCharSet   the first charset the face covers (ANSI before the others)
//   ch*Char       the wc*Char values as bytes, 0xFF for those above it
//   ptlCaret      hhea's caret slope (run, rise); (0, 1) when it has none
//   rclFontBox    head's box, top at yMax and bottom at yMin
//   lItalicAngle  post's italic angle in tenths of a degree
//   cKerningPairs the pairs of the kern table's horizontal format 0 subtables
// Values a face's tables do not hold (no OS/2 table, or one too old for the
// x-height and cap height) are 0.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <cstdint>
#include <vector>

#include "win32k/fontchoice.h"

namespace w32 {

// The record and its strings in one block of cjThis bytes, 8-byte aligned.
class IfiMetrics {
public:
    explicit IfiMetrics(const ChosenFace& face);
    IFIMETRICS* get() { return reinterpret_cast<IFIMETRICS*>(words_.data()); }
    const IFIMETRICS* get() const { return reinterpret_cast<const IFIMETRICS*>(words_.data()); }

private:
    std::vector<uint64_t> words_;
};

}  // namespace w32
