// The text of a decoded job as a printer reads it: each Text operator's
// characters with the places they stand at (the cursor of the last
// SetCursor, moved by each character's spacing values), and whatever a
// printer would refuse: a font selected or given characters before its
// header in the same stream, a character the selected font does not hold,
// a font downloaded twice.
#pragma once
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "jobdecode.h"

namespace tam::test {

// One character of a Text operator: its code and where it stands.
struct Placed {
    int64_t code = 0;
    job::Point at;
    bool operator==(const Placed&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Placed& p) {
    return out << "code " << p.code << " at (" << p.at.x << ", " << p.at.y << ")";
}

// What the text of a job shows: each Text operator's characters with their
// places, and whatever a printer would refuse or misplace.
struct TextRead {
    std::vector<std::vector<Placed>> texts;  // per Text operator
    std::vector<std::string> faults;
    std::vector<std::string> fontsUsed;      // the font of each Text operator
};

// Reads the job as a printer would: the cursor moves by SetCursor and by
// each Text's spacing; fonts exist from their header to their RemoveFont;
// SetFont selects a font of the stream (a downloaded one must have been
// sent before, in the same stream) and the page's state starts empty.
inline TextRead ReadText(const job::DecodedJob& decoded) {
    TextRead read;
    std::map<std::string, std::set<int64_t>> fonts;  // downloaded fonts and their characters
    std::string current, charsOf;
    job::Point cursor;
    size_t stream = SIZE_MAX;
    for (const job::Operator& op : decoded.ops) {
        if (op.stream != stream) {
            stream = op.stream;
            fonts.clear();
        }
        const std::string name(op.name);
        if (name == "BeginPage") {
            current.clear();
        } else if (name == "BeginFontHeader") {
            const std::string font = op.Text("FontName").value_or("");
            if (fonts.contains(font)) read.faults.push_back("font " + font + " downloaded twice");
            fonts[font];
        } else if (name == "BeginChar") {
            charsOf = op.Text("FontName").value_or("");
            if (!fonts.contains(charsOf)) read.faults.push_back("characters for font " + charsOf + " not downloaded");
        } else if (name == "ReadChar") {
            if (fonts.contains(charsOf)) fonts[charsOf].insert(op.Int("CharCode").value_or(-1));
        } else if (name == "RemoveFont") {
            fonts.erase(op.Text("FontName").value_or(""));
        } else if (name == "SetFont") {
            current = op.Text("FontName").value_or("");
            if (!fonts.contains(current)) read.faults.push_back("SetFont of font " + current + " not downloaded");
        } else if (name == "SetCursor") {
            cursor = job::Point{int32_t(op.Int("Point", 0).value_or(0)), int32_t(op.Int("Point", 1).value_or(0))};
        } else if (name == "Text") {
            const job::Attribute* data = op.Find("TextData");
            const job::Attribute* xs = op.Find("XSpacingData");
            const job::Attribute* ys = op.Find("YSpacingData");
            std::vector<Placed> placed;
            if (!data) continue;
            if (current.empty()) read.faults.push_back("Text without a font");
            const auto held = fonts.find(current);
            for (size_t i = 0; i < data->value.Count(); ++i) {
                const int64_t code = data->value.Int(i);
                if (held == fonts.end() || !held->second.contains(code))
                    read.faults.push_back("character " + std::to_string(code) + " is not in font " + current);
                placed.push_back(Placed{code, cursor});
                cursor.x += int32_t(xs ? xs->value.Int(i) : 0);
                cursor.y += int32_t(ys ? ys->value.Int(i) : 0);
            }
            read.texts.push_back(placed);
            read.fontsUsed.push_back(current);
        }
    }
    return read;
}

// The places of a string's characters as one list.
inline std::vector<job::Point> PlacesOf(const TextRead& read) {
    std::vector<job::Point> places;
    for (const auto& text : read.texts)
        for (const Placed& p : text) places.push_back(p.at);
    return places;
}

}  // namespace tam::test
