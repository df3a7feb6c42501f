// Reading font files: the sfnt table directory by hand (offsets checked
// against the file's size), the faces' own descriptions through FreeType
// and their names from the name table (win32k/fonttables.h).
#include "win32k/fontfile.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H

#include <atomic>
#include <fstream>

#include "win32k/fonttables.h"

namespace w32 {
namespace {

uint16_t BigEndian16(std::span<const BYTE> b, size_t at) { return uint16_t(b[at] << 8 | b[at + 1]); }
uint32_t BigEndian32(std::span<const BYTE> b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

std::atomic<uint64_t> nextFileId{1};

// GDI's family of a face, from its PANOSE classification.
BYTE FamilyClass(const BYTE panose[10], bool fixedPitch) {
    if (fixedPitch) return FF_MODERN;
    switch (panose[0]) {
        case 2:  // Latin text: sans serifs are the obtuse, perpendicular, normal and flared kinds
            if (panose[1] >= 11 && panose[1] <= 15) return FF_SWISS;
            if (panose[1] >= 2) return FF_ROMAN;
            return FF_DONTCARE;
        case 3: return FF_SCRIPT;
        case 4: return FF_DECORATIVE;
        default: return FF_DONTCARE;
    }
}

// The OS/2 code page bits a face without them covers, from its cmap.
void CodePagesFromCmap(FT_Face face, FontFaceInfo& info) {
    for (FT_Int i = 0; i < face->num_charmaps; ++i) {
        const FT_CharMap map = face->charmaps[i];
        if (map->platform_id == TT_PLATFORM_MICROSOFT && map->encoding_id == TT_MS_ID_SYMBOL_CS) info.symbol = true;
    }
    if (info.symbol) {
        info.codePageRange[0] |= 1u << 31;
        return;
    }
    if (FT_Get_Char_Index(face, u'A') != 0) info.codePageRange[0] |= 1u << 0;
    if (FT_Get_Char_Index(face, 0x0411) != 0) info.codePageRange[0] |= 1u << 2;  // Cyrillic
    if (FT_Get_Char_Index(face, 0x0391) != 0) info.codePageRange[0] |= 1u << 3;  // Greek
}

// The OS/2 ulCodePageRange1 bit of each charset.
struct CharsetBit {
    BYTE charset;
    int bit;
};
constexpr CharsetBit kCharsetBits[] = {
    {ANSI_CHARSET, 0},         {EASTEUROPE_CHARSET, 1}, {RUSSIAN_CHARSET, 2},  {GREEK_CHARSET, 3},
    {TURKISH_CHARSET, 4},      {HEBREW_CHARSET, 5},     {ARABIC_CHARSET, 6},   {BALTIC_CHARSET, 7},
    {VIETNAMESE_CHARSET, 8},   {THAI_CHARSET, 16},      {SHIFTJIS_CHARSET, 17}, {GB2312_CHARSET, 18},
    {HANGUL_CHARSET, 19},      {CHINESEBIG5_CHARSET, 20}, {JOHAB_CHARSET, 21}, {SYMBOL_CHARSET, 31},
};

}  // namespace

std::vector<BYTE> FontFaceInfo::Charsets() const {
    std::vector<BYTE> charsets;
    for (const auto& entry : kCharsetBits)
        if (codePageRange[0] & (1u << entry.bit)) charsets.push_back(entry.charset);
    return charsets;
}

bool FontFaceInfo::CoversCharset(BYTE charset) const {
    if (charset == DEFAULT_CHARSET) return true;
    for (const auto& entry : kCharsetBits)
        if (entry.charset == charset) return (codePageRange[0] & (1u << entry.bit)) != 0;
    return false;
}

std::recursive_mutex& FreeTypeLock() {
    static std::recursive_mutex lock;
    return lock;
}

FT_Library FreeTypeLibrary() {
    // Made once and kept for the life of the process: faces made from it may
    // live in objects destroyed at exit.
    static FT_Library library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0) made = nullptr;
        return made;
    }();
    return library;
}

FT_Face NewFreeTypeFace(const FontFile& file, ULONG index) {
    FT_Library library = FreeTypeLibrary();
    if (!library || file.Bytes().empty()) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, file.Bytes().data(), FT_Long(file.Bytes().size()), FT_Long(index), &face) != 0)
        return nullptr;
    return face;
}

std::shared_ptr<const FontFile> FontFile::Open(const std::filesystem::path& hostPath, DWORD* error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(hostPath, ec);
    if (ec) {
        if (error) *error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    if (size == 0 || size > kMaxFontFileSize) {
        if (error) *error = ERROR_INVALID_DATA;
        return nullptr;
    }
    std::vector<BYTE> bytes(size);
    std::ifstream in(hostPath, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) {
        if (error) *error = ERROR_READ_FAULT;
        return nullptr;
    }
    return FromBytes(std::move(bytes), error);
}

std::shared_ptr<const FontFile> FontFile::FromBytes(std::vector<BYTE> bytes, DWORD* error) {
    std::shared_ptr<FontFile> file(new FontFile());
    file->bytes_ = std::move(bytes);
    if (file->bytes_.size() > kMaxFontFileSize || !file->ReadDirectory() || !file->ReadFaces()) {
        if (error) *error = ERROR_INVALID_DATA;
        return nullptr;
    }
    file->id_ = nextFileId++;
    return file;
}

bool FontFile::ReadDirectory() {
    const std::span<const BYTE> b = bytes_;
    if (b.size() < 12) return false;
    if (BigEndian32(b, 0) == FontTag("ttcf")) {
        collection_ = true;
        const uint32_t count = BigEndian32(b, 8);
        if (count == 0 || count > (b.size() - 12) / 4) return false;
        for (uint32_t i = 0; i < count; ++i) faceOffsets_.push_back(BigEndian32(b, 12 + 4 * i));
    } else {
        faceOffsets_.push_back(0);
    }
    // Every face's directory lies inside the file, and so does every table it lists.
    for (const ULONG offset : faceOffsets_) {
        if (offset > b.size() || b.size() - offset < 12) return false;
        const uint16_t tables = BigEndian16(b, offset + 4);
        if (tables > (b.size() - offset - 12) / 16) return false;
        for (uint16_t t = 0; t < tables; ++t) {
            const size_t entry = offset + 12 + 16 * size_t(t);
            const uint64_t start = BigEndian32(b, entry + 8), length = BigEndian32(b, entry + 12);
            if (start + length > b.size()) return false;
        }
    }
    return true;
}

bool FontFile::ReadFaces() {
    std::lock_guard lock(FreeTypeLock());
    for (ULONG index = 0; index < faceOffsets_.size(); ++index) {
        FT_Face face = NewFreeTypeFace(*this, index);
        if (!face) return false;
        if (!FT_IS_SFNT(face) || !FT_IS_SCALABLE(face) || face->num_glyphs <= 0) {
            FT_Done_Face(face);
            return false;
        }
        FontFaceInfo info;
        info.index = index;
        info.family = FaceNameString(*this, index, kNameFamily);
        if (info.family.empty() && face->family_name)
            for (const char* c = face->family_name; *c; ++c) info.family.push_back(char16_t(uint8_t(*c)));
        info.style = FaceNameString(*this, index, kNameSubfamily);
        info.fullName = FaceNameString(*this, index, kNameFull);
        info.unitsPerEm = face->units_per_EM;
        info.trueTypeOutlines = !Table(index, FontTag("glyf")).empty();
        const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
        info.fixedPitch = post ? post->isFixedPitch != 0 : FT_IS_FIXED_WIDTH(face);
        const auto* head = static_cast<const TT_Header*>(FT_Get_Sfnt_Table(face, FT_SFNT_HEAD));
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->version != 0xFFFF) {
            info.weight = os2->usWeightClass ? os2->usWeightClass : FW_NORMAL;
            info.fsSelection = os2->fsSelection;
            info.italic = (os2->fsSelection & 0x0201) != 0;  // ITALIC or OBLIQUE
            info.bold = (os2->fsSelection & 0x0020) != 0;
            std::copy(os2->panose, os2->panose + 10, info.panose);
            if (os2->version >= 1) {
                info.codePageRange[0] = os2->ulCodePageRange1;
                info.codePageRange[1] = os2->ulCodePageRange2;
            }
        } else if (head) {
            info.bold = (head->Mac_Style & 1) != 0;
            info.italic = (head->Mac_Style & 2) != 0;
            info.weight = info.bold ? FW_BOLD : FW_NORMAL;
        }
        for (FT_Int i = 0; i < face->num_charmaps; ++i)
            if (face->charmaps[i]->platform_id == TT_PLATFORM_MICROSOFT &&
                face->charmaps[i]->encoding_id == TT_MS_ID_SYMBOL_CS)
                info.symbol = true;
        if (info.codePageRange[0] == 0 && info.codePageRange[1] == 0) CodePagesFromCmap(face, info);
        info.familyClass = FamilyClass(info.panose, info.fixedPitch);
        FT_Done_Face(face);
        faces_.push_back(std::move(info));
    }
    return !faces_.empty();
}

std::span<const BYTE> FontFile::Table(ULONG face, uint32_t tag) const {
    if (face >= faceOffsets_.size()) return {};
    const std::span<const BYTE> b = bytes_;
    const size_t offset = faceOffsets_[face];
    const uint16_t tables = BigEndian16(b, offset + 4);
    for (uint16_t t = 0; t < tables; ++t) {
        const size_t entry = offset + 12 + 16 * size_t(t);
        if (BigEndian32(b, entry) == tag) return b.subspan(BigEndian32(b, entry + 8), BigEndian32(b, entry + 12));
    }
    return {};
}

ULONG FontFile::FaceOffset(ULONG face) const { return face < faceOffsets_.size() ? faceOffsets_[face] : 0; }

}  // namespace w32
