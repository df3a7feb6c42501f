// Accessors of the decoded job model.
#include "jobdecode.h"

#include <cctype>

namespace tam::job {

bool Value::IsReal() const { return (static_cast<uint8_t>(type) & 0x07) == 5; }
bool Value::IsArray() const { return (static_cast<uint8_t>(type) & 0xF8) == 0xC8; }
bool Value::IsXY() const { return (static_cast<uint8_t>(type) & 0xF0) == 0xD0; }
bool Value::IsBox() const { return (static_cast<uint8_t>(type) & 0xF0) == 0xE0; }
size_t Value::Count() const { return IsReal() ? reals.size() : ints.size(); }

double Value::Number(size_t index) const {
    if (IsReal()) return index < reals.size() ? reals[index] : 0.0;
    return index < ints.size() ? static_cast<double>(ints[index]) : 0.0;
}

int64_t Value::Int(size_t index) const {
    if (IsReal()) return index < reals.size() ? static_cast<int64_t>(reals[index]) : 0;
    return index < ints.size() ? ints[index] : 0;
}

std::string Value::Text() const {
    std::string text;
    text.reserve(ints.size());
    for (int64_t v : ints) text.push_back(static_cast<char>(v & 0xFF));
    return text;
}

const Attribute* Operator::Find(std::string_view attributeName) const {
    for (const Attribute& a : attributes) {
        if (a.name == attributeName) return &a;
    }
    return nullptr;
}

const Attribute* Operator::Find(uint16_t id) const {
    for (const Attribute& a : attributes) {
        if (a.id == id) return &a;
    }
    return nullptr;
}

std::optional<int64_t> Operator::Int(std::string_view attributeName, size_t index) const {
    const Attribute* a = Find(attributeName);
    if (!a || index >= a->value.Count()) return std::nullopt;
    return a->value.Int(index);
}

std::optional<double> Operator::Number(std::string_view attributeName, size_t index) const {
    const Attribute* a = Find(attributeName);
    if (!a || index >= a->value.Count()) return std::nullopt;
    return a->value.Number(index);
}

std::optional<std::string> Operator::Text(std::string_view attributeName) const {
    const Attribute* a = Find(attributeName);
    if (!a || a->value.IsReal()) return std::nullopt;
    return a->value.Text();
}

std::span<const uint8_t> Raster::Row(size_t y) const {
    if (y >= RowsHeld()) return {};
    return std::span<const uint8_t>(pixels).subspan(y * rowBytes, rowBytes);
}

uint32_t Raster::Pixel(uint32_t x, uint32_t y) const {
    std::span<const uint8_t> row = Row(y);
    if (row.empty() || x >= width) return 0;
    switch (bitsPerPixel) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    case 8: return row[x];
    case 24: return (uint32_t(row[x * 3]) << 16) | (uint32_t(row[x * 3 + 1]) << 8) | row[x * 3 + 2];
    case 3: {  // three 1-bit components
        uint32_t v = 0;
        for (uint32_t c = 0; c < 3; ++c) {
            uint32_t bit = x * 3 + c;
            v = (v << 8) | (((row[bit / 8] >> (7 - bit % 8)) & 1) ? 0xFF : 0);
        }
        return v;
    }
    case 12: {  // three 4-bit components
        uint32_t v = 0;
        for (uint32_t c = 0; c < 3; ++c) {
            uint32_t nibble = x * 3 + c;
            uint32_t n = (row[nibble / 2] >> (nibble % 2 ? 0 : 4)) & 0x0F;
            v = (v << 8) | (n * 0x11);
        }
        return v;
    }
    default: return 0;
    }
}

std::string FontSegment::Name() const {
    if (id == 0xFFFF) return "null";
    std::string name;
    for (char c : {static_cast<char>(id >> 8), static_cast<char>(id & 0xFF)}) {
        name.push_back(std::isprint(static_cast<unsigned char>(c)) ? c : '?');
    }
    return name;
}

const FontSegment* FontHeader::Segment(std::string_view name) const {
    for (const FontSegment& s : segments) {
        if (s.Name() == name) return &s;
    }
    return nullptr;
}

const FontTable* FontHeader::Table(std::string_view tag) const {
    for (const FontTable& t : tables) {
        if (t.tag == tag) return &t;
    }
    return nullptr;
}

bool Glyph::BitAt(uint32_t x, uint32_t y) const {
    if (format != 0 || x >= width || y >= height) return false;
    size_t rowBytes = (size_t(width) + 7) / 8;
    size_t at = y * rowBytes + x / 8;
    return at < body.size() && ((body[at] >> (7 - x % 8)) & 1);
}

const Glyph* Font::Find(uint32_t code) const {
    for (auto it = glyphs.rbegin(); it != glyphs.rend(); ++it) {
        if (it->code == code) return &*it;
    }
    return nullptr;
}

std::vector<const Operator*> DecodedJob::Find(std::string_view operatorName) const {
    std::vector<const Operator*> found;
    for (const Operator& op : ops) {
        if (op.name == operatorName) found.push_back(&op);
    }
    return found;
}

size_t DecodedJob::Count(std::string_view operatorName) const {
    size_t count = 0;
    for (const Operator& op : ops) count += op.name == operatorName;
    return count;
}

const Operator* DecodedJob::First(std::string_view operatorName) const {
    for (const Operator& op : ops) {
        if (op.name == operatorName) return &op;
    }
    return nullptr;
}

size_t DecodedJob::PageCount() const { return Count("BeginPage"); }

std::vector<std::pair<size_t, size_t>> DecodedJob::Pages() const {
    std::vector<std::pair<size_t, size_t>> pages;
    size_t begin = SIZE_MAX;
    for (size_t i = 0; i < ops.size(); ++i) {
        if (ops[i].name == "BeginPage") {
            begin = i;
        } else if (ops[i].name == "EndPage" && begin != SIZE_MAX) {
            pages.emplace_back(begin, i);
            begin = SIZE_MAX;
        }
    }
    return pages;
}

namespace {
bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}
}  // namespace

std::optional<std::string> DecodedJob::PjlValue(std::string_view key) const {
    for (const PjlLine& line : header) {
        if (!line.uel && EqualNoCase(line.command, "SET") && EqualNoCase(line.key, key)) return line.value;
    }
    return std::nullopt;
}

const Font* DecodedJob::FindFont(std::string_view name) const {
    for (auto it = fonts.rbegin(); it != fonts.rend(); ++it) {
        if (it->name == name) return &*it;
    }
    return nullptr;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

}  // namespace tam::job
