// Font downloads: the font header blocks, the characters added to a font
// and the removal of a font, with the fonts in use by name.
#include "decoder.h"

#include <algorithm>

namespace tam::job::detail {

std::string Decoder::FontNameOf(const Operator& op) {
    const Value* name = Get(op, attr::FontName);
    return name ? name->Text() : std::string();
}

void Decoder::BeginFontHeader(size_t index) {
    Operator& op = job_.ops[index];
    Font font;
    font.name = FontNameOf(op);
    font.beginOp = index;
    if (!op.Find(attr::FontName)) Report(op.offset, "BeginFontHeader lacks its FontName attribute");
    int64_t format = 0;
    if (Need(op, attr::FontFormat, format) && format != 0) {
        Report(op.offset, "FontFormat " + std::to_string(format) + " is not 0");
    }
    if (activeFonts_.contains(font.name)) {
        Report(op.offset, "font " + Printable(font.name) + " is downloaded already");
    }
    job_.fonts.push_back(std::move(font));
    fontHeader_ = static_cast<int>(job_.fonts.size() - 1);
    op.font = fontHeader_;
    headerChunks_.clear();
}

void Decoder::ReadFontHeader(size_t index) {
    Operator& op = job_.ops[index];
    Font& font = job_.fonts[fontHeader_];
    op.font = fontHeader_;
    int64_t length = 0;
    if (Need(op, attr::FontHeaderLength, length) && op.dataTag && length != int64_t(op.data.size())) {
        Report(op.offset, "FontHeaderLength " + std::to_string(length) + " does not match the " +
                              std::to_string(op.data.size()) + " bytes of data");
    }
    if (op.dataTag) {
        headerChunks_.push_back({font.headerBytes.size(), op.dataOffset});
        font.headerBytes.insert(font.headerBytes.end(), op.data.begin(), op.data.end());
    }
}

void Decoder::EndFontHeader(size_t index) {
    Operator& op = job_.ops[index];
    Font& font = job_.fonts[fontHeader_];
    op.font = fontHeader_;
    font.endOp = index;
    std::vector<Failure> failures;
    detail::ParseFontHeader(font.headerBytes, font.header, failures);
    for (const Failure& f : failures) {
        // The offset of the header byte in the job: through the block that carried it.
        size_t at = op.offset;
        const auto chunk = std::upper_bound(headerChunks_.begin(), headerChunks_.end(), f.at,
                                            [](size_t v, const HeaderChunk& c) { return v < c.headerStart; });
        if (chunk != headerChunks_.begin()) at = std::prev(chunk)->jobOffset + (f.at - std::prev(chunk)->headerStart);
        Report(at, "font " + Printable(font.name) + ": " + f.reason);
    }
    activeFonts_[font.name] = fontHeader_;
}

void Decoder::BeginChar(size_t index) {
    Operator& op = job_.ops[index];
    const std::string name = FontNameOf(op);
    if (!op.Find(attr::FontName)) Report(op.offset, "BeginChar lacks its FontName attribute");
    const auto it = activeFonts_.find(name);
    if (it == activeFonts_.end()) {
        Report(op.offset, "BeginChar for font " + Printable(name) + ", which is not downloaded");
        charFont_ = -1;
    } else {
        charFont_ = it->second;
    }
    op.font = charFont_;
}

void Decoder::ReadChar(size_t index) {
    Operator& op = job_.ops[index];
    int64_t code = 0, size = 0;
    const bool haveCode = Need(op, attr::CharCode, code);
    if (Need(op, attr::CharDataSize, size) && op.dataTag && size != int64_t(op.data.size())) {
        Report(op.offset, "CharDataSize " + std::to_string(size) + " does not match the " +
                              std::to_string(op.data.size()) + " bytes of data");
    }
    if (!op.dataTag || !haveCode) return;
    Glyph glyph;
    glyph.op = index;
    glyph.code = static_cast<uint32_t>(code);
    std::vector<Failure> failures;
    detail::ParseGlyph(op.data, glyph, failures);
    for (const Failure& f : failures) {
        Report(op.dataOffset + f.at, "character " + std::to_string(code) + ": " + f.reason);
    }
    if (charFont_ < 0) return;
    Font& font = job_.fonts[charFont_];
    if (failures.empty() && font.header.parsed &&
        ((font.header.scaling == 254 && glyph.format != 0) || (font.header.scaling == 1 && glyph.format != 1))) {
        Report(op.dataOffset, "character format " + std::to_string(glyph.format) +
                                  " does not suit a font of scaling technology " +
                                  std::to_string(font.header.scaling));
    }
    font.glyphs.push_back(std::move(glyph));
    op.font = charFont_;
    op.glyph = static_cast<int>(font.glyphs.size() - 1);
}

void Decoder::RemoveFont(size_t index) {
    Operator& op = job_.ops[index];
    const std::string name = FontNameOf(op);
    const auto it = activeFonts_.find(name);
    if (it == activeFonts_.end()) {
        Report(op.offset, "RemoveFont of font " + Printable(name) + ", which is not downloaded");
        return;
    }
    op.font = it->second;
    job_.fonts[it->second].removeOp = index;
    activeFonts_.erase(it);
}

}  // namespace tam::job::detail
