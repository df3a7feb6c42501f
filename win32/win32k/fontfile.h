// Font files as the engine knows them: the bytes of a TrueType or OpenType
// font or collection, read once and shared by everything drawn with it,
// what each face in it says of itself (names, weight, style, pitch, the code
// pages it covers), and its tables as the file holds them. FreeType reads
// the faces; the table directory is read here, since GDI and drivers are
// given tables as byte ranges of the file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace w32 {

// A table tag as the file stores it, big-endian: FontTag("cmap").
constexpr uint32_t FontTag(const char (&tag)[5]) {
    return uint32_t(uint8_t(tag[0])) << 24 | uint32_t(uint8_t(tag[1])) << 16 | uint32_t(uint8_t(tag[2])) << 8 |
           uint32_t(uint8_t(tag[3]));
}

// One face of a font file.
struct FontFaceInfo {
    ULONG index = 0;            // its number in the file; 0 outside collections
    std::u16string family;      // the family name GDI knows it by (English, name 1)
    std::u16string style;       // its subfamily: "Regular", "Bold", "Italic", "Bold Italic", ...
    std::u16string fullName;    // name 4: "DejaVu Sans Bold"
    USHORT weight = FW_NORMAL;  // OS/2 usWeightClass (FW_*)
    bool italic = false;        // italic or oblique
    bool bold = false;          // the face is a bold one (OS/2 fsSelection, else head macStyle)
    bool fixedPitch = false;    // every glyph one advance (post isFixedPitch)
    BYTE familyClass = FF_DONTCARE;  // FF_ROMAN, FF_SWISS, FF_MODERN, ... from the face's PANOSE
    BYTE panose[10] = {};
    USHORT fsSelection = 0;     // OS/2 fsSelection as stored
    ULONG codePageRange[2] = {};  // OS/2 ulCodePageRange1 and 2; derived from the cmap when absent
    bool symbol = false;        // a symbol font: its cmap is (3, 0)
    USHORT unitsPerEm = 0;
    bool trueTypeOutlines = false;  // glyf outlines (TrueType); false for CFF (OpenType)

    // The charsets the face covers, in GDI's order of preference (ANSI first).
    std::vector<BYTE> Charsets() const;
    bool CoversCharset(BYTE charset) const;
};

class FontFile {
public:
    // Reads a font file from the host. Null with `*error` set:
    // ERROR_FILE_NOT_FOUND when missing, ERROR_INVALID_DATA when it is no
    // font FreeType can read (truncated, damaged, empty) or is too large.
    static std::shared_ptr<const FontFile> Open(const std::filesystem::path& hostPath, DWORD* error);
    // The same for bytes in memory.
    static std::shared_ptr<const FontFile> FromBytes(std::vector<BYTE> bytes, DWORD* error);

    std::span<const BYTE> Bytes() const { return bytes_; }
    // A collection ("ttcf"): several faces sharing tables.
    bool IsCollection() const { return collection_; }
    const std::vector<FontFaceInfo>& Faces() const { return faces_; }
    // Identifies the file for as long as the process lives (FONTOBJ iFile, caches).
    uint64_t Id() const { return id_; }

    // The bytes of a table of face `face`; empty when the face has no such table.
    std::span<const BYTE> Table(ULONG face, uint32_t tag) const;
    // The offset of face `face`'s table directory in the file (0 outside collections).
    ULONG FaceOffset(ULONG face) const;

private:
    FontFile() = default;
    bool ReadDirectory();
    bool ReadFaces();

    std::vector<BYTE> bytes_;
    bool collection_ = false;
    std::vector<ULONG> faceOffsets_;  // table directory of each face
    std::vector<FontFaceInfo> faces_;
    uint64_t id_ = 0;
};

// FreeType for the engine: one library for the process. FreeType's library
// and its faces are not safe across threads, so whoever makes, uses or drops
// a face holds this lock.
std::recursive_mutex& FreeTypeLock();
// The library; call with FreeTypeLock() held.
FT_Library FreeTypeLibrary();
// A new FreeType face of face `index` of `file`, reading the file's bytes
// (the file must outlive it). Null when FreeType refuses. Call with the lock
// held; release with FT_Done_Face under it.
FT_Face NewFreeTypeFace(const FontFile& file, ULONG index);

// The largest font file the engine reads.
inline constexpr size_t kMaxFontFileSize = 256u << 20;

}  // namespace w32
