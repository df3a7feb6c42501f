// Reading the print tool's document descriptions.
#include "document.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <sstream>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

namespace tamprint {
namespace {

// Objects keep their keys in the document's order, so that the first
// mistake reported is the first one in the text.
using Json = nlohmann::ordered_json;

// The line each object and list of the document starts on.
using LineMap = std::unordered_map<const Json*, int>;

// The largest coordinate, width or corner size a shape takes, in points
// (200 inches): far beyond any paper, and well inside the DC's coordinates.
constexpr double kMaxCoordinate = 14400;

// A character iterator that counts the line breaks it passes, so that the
// parser's callback knows the line each object or list starts on.
class LineCountingIterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    LineCountingIterator(const char* at, int* lineBreaks) : at_(at), lineBreaks_(lineBreaks) {}
    reference operator*() const { return *at_; }
    LineCountingIterator& operator++() {
        if (*at_ == '\n') ++*lineBreaks_;
        ++at_;
        return *this;
    }
    LineCountingIterator operator++(int) {
        LineCountingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const LineCountingIterator& other) const { return at_ == other.at_; }
    bool operator!=(const LineCountingIterator& other) const { return at_ != other.at_; }

private:
    const char* at_;
    int* lineBreaks_;
};

// Gives each object and list of `root` its line from `starts`, the lines of
// their openings in the text's order, which is the order of a walk that
// visits a container before what it holds. The walk keeps its own stack: a
// deeply nested document does not exhaust the program's.
LineMap LinesOf(const Json& root, const std::vector<int>& starts) {
    LineMap lines;
    size_t next = 0;
    std::vector<const Json*> pending{&root};
    while (!pending.empty()) {
        const Json* value = pending.back();
        pending.pop_back();
        if (!value->is_structured()) continue;
        if (next < starts.size()) lines[value] = starts[next++];
        const size_t at = pending.size();
        for (const Json& child : *value) pending.push_back(&child);
        std::reverse(pending.begin() + std::ptrdiff_t(at), pending.end());
    }
    return lines;
}

// nlohmann's messages start with "[json.exception.parse_error.101] "; the
// user needs only what follows.
std::string WithoutExceptionTag(const char* what) {
    std::string text = what;
    if (!text.empty() && text.front() == '[') {
        const size_t end = text.find("] ");
        if (end != std::string::npos) text.erase(0, end + 2);
    }
    return text;
}

class Reader {
public:
    Reader(const std::string& name, const std::string& folder, const LineMap& lines, std::string& error)
        : name_(name), folder_(folder), lines_(lines), error_(error) {}

    bool Read(const Json& root, Document& document) {
        if (!root.is_object()) return Fail("", "a document is a JSON object with \"pages\"");
        bool hasPages = false;
        for (const auto& [key, value] : root.items()) {
            if (key == "title") {
                if (!value.is_string()) return Fail("title", "expected a string");
                document.title = value.get<std::string>();
                document.titled = true;
            } else if (key == "pages") {
                hasPages = true;
                if (!ReadPages(value, document.pages)) return false;
            } else {
                return Fail("", "unknown key \"" + key + "\" (a document takes \"title\" and \"pages\")");
            }
        }
        if (!hasPages) return Fail("", "\"pages\" is missing");
        return true;
    }

private:
    bool ReadPages(const Json& value, std::vector<PageDescription>& pages) {
        if (value.is_number_unsigned()) {
            const unsigned long long count = value.get<unsigned long long>();
            if (count < 1 || count > (unsigned long long)kMaxPages) return Fail("pages", CountRange(std::to_string(count)));
            pages.assign(size_t(count), PageDescription{});
            return true;
        }
        if (value.is_number_integer()) {  // a negative count
            return Fail("pages", CountRange(std::to_string(value.get<long long>())));
        }
        if (!value.is_array()) return Fail("pages", "expected a list of pages or a page count");
        if (value.empty() || value.size() > size_t(kMaxPages)) return Fail("pages", CountRange(std::to_string(value.size())));
        for (size_t i = 0; i < value.size(); ++i) {
            PageDescription page;
            if (!ReadPage(value[i], "pages[" + std::to_string(i) + "]", page)) return false;
            pages.push_back(std::move(page));
        }
        return true;
    }

    bool ReadPage(const Json& value, const std::string& where, PageDescription& page) {
        if (!value.is_object()) return Fail(where, "a page is a JSON object ({} for a plain page)");
        for (const auto& [key, item] : value.items()) {
            if (key == "orientation") {
                const std::string text = item.is_string() ? item.get<std::string>() : std::string();
                if (text == "portrait")
                    page.orientation = DMORIENT_PORTRAIT;
                else if (text == "landscape")
                    page.orientation = DMORIENT_LANDSCAPE;
                else
                    return Fail(where + ".orientation", "expected \"portrait\" or \"landscape\"");
            } else if (key == "draw") {
                if (!item.is_array()) return FailAt(value, where + ".draw", "expected a list of shapes");
                page.draw.reserve(item.size());
                for (size_t i = 0; i < item.size(); ++i) {
                    DrawItem shape;
                    if (!ReadShape(item[i], where + ".draw[" + std::to_string(i) + "]", shape)) return false;
                    page.draw.push_back(std::move(shape));
                }
            } else {
                return Fail(where, "unknown key \"" + key + "\" (a page takes \"orientation\" and \"draw\")");
            }
        }
        return true;
    }

    struct ShapeName {
        const char* name;
        ShapeKind kind;
        bool closed;  // takes a brush
    };
    static constexpr ShapeName kShapes[] = {
        {"line", ShapeKind::Line, false},           {"polyline", ShapeKind::Polyline, false},
        {"rectangle", ShapeKind::Rectangle, true},  {"roundrect", ShapeKind::RoundRect, true},
        {"ellipse", ShapeKind::Ellipse, true},      {"arc", ShapeKind::Arc, false},
        {"polygon", ShapeKind::Polygon, true},      {"bezier", ShapeKind::Bezier, false},
        {"path", ShapeKind::Path, true},
    };
    static constexpr char kShapeList[] =
        "line, polyline, rectangle, roundrect, ellipse, arc, polygon, bezier or path";
    static constexpr char kTextList[] = ", or a \"text\", \"textblock\", \"image\" or \"gradient\"";

    // One item of a page's "draw" list: one shape key with its points, and
    // the pen, the brush and a rounded rectangle's corner.
    bool ReadShape(const Json& value, const std::string& where, DrawItem& item) {
        if (!value.is_object())
            return FailAt(value, where, std::string("a shape is a JSON object with one of ") + kShapeList + kTextList);
        if (value.contains("text") || value.contains("textblock")) return ReadText(value, where, item);
        if (value.contains("image")) return ReadImage(value, where, item);
        if (value.contains("gradient")) return ReadGradient(value, where, item);
        const ShapeName* shape = nullptr;
        const Json* geometry = nullptr;
        for (const auto& [key, entry] : value.items()) {
            const ShapeName* named = nullptr;
            for (const ShapeName& candidate : kShapes)
                if (key == candidate.name) named = &candidate;
            if (named) {
                if (shape)
                    return FailAt(value, where, "one shape to an item, not both \"" + std::string(shape->name) +
                                                    "\" and \"" + key + "\"");
                shape = named;
                geometry = &entry;
            } else if (key != "pen" && key != "brush" && key != "corner") {
                return FailAt(value, where, "unknown key \"" + key + "\" (a shape is one of " + kShapeList +
                                                ", with \"pen\", \"brush\" and a roundrect's \"corner\"; or a " +
                                                "\"text\", \"textblock\", \"image\" or \"gradient\")");
            }
        }
        if (!shape) return FailAt(value, where, std::string("no shape: an item takes one of ") + kShapeList + kTextList);
        item.shape = shape->kind;
        const std::string at = where + "." + shape->name;
        if (shape->kind == ShapeKind::Path) {
            if (!ReadPath(value, *geometry, at, item.steps)) return false;
        } else if (!ReadPoints(value, *geometry, at, item.points) || !CheckCount(value, at, *shape, item.points.size())) {
            return false;
        }
        if (const auto corner = value.find("corner"); corner != value.end()) {
            if (shape->kind != ShapeKind::RoundRect)
                return FailAt(value, where + ".corner", "only a roundrect takes a corner");
            if (!ReadPoint(value, *corner, where + ".corner", item.corner, 0)) return false;
        } else if (shape->kind == ShapeKind::RoundRect) {
            return FailAt(value, where, "a roundrect takes a \"corner\": [width, height] of its corners' ellipse");
        }
        if (const auto pen = value.find("pen"); pen != value.end() && !ReadPen(value, *pen, where + ".pen", item.pen))
            return false;
        if (const auto brush = value.find("brush"); brush != value.end()) {
            if (!shape->closed)
                return FailAt(value, where + ".brush", Article(shape->name) + " is open and takes no brush");
            if (!ReadBrush(value, *brush, where + ".brush", item.brush)) return false;
        }
        return true;
    }

    // An image item: a PNG or BMP file read now, so that a file that is
    // missing or no image is refused with the item's line before printing.
    bool ReadImage(const Json& value, const std::string& where, DrawItem& item) {
        item.shape = ShapeKind::Image;
        ImageSpec& image = item.image;
        bool placed = false, sized = false;
        std::string file;
        for (const auto& [key, entry] : value.items()) {
            const std::string at = where + "." + key;
            if (key == "image") {
                if (!entry.is_string() || entry.get<std::string>().empty())
                    return FailAt(value, at, "expected the path of a PNG or BMP file");
                file = entry.get<std::string>();
            } else if (key == "at") {
                PagePoint point;
                if (!ReadPoint(value, entry, at, point, -kMaxCoordinate)) return false;
                image.x = point.x;
                image.y = point.y;
                placed = true;
            } else if (key == "size") {
                PagePoint size;
                if (!ReadPoint(value, entry, at, size, 0)) return false;
                if (!(size.x > 0 && size.y > 0))
                    return FailAt(value, at, "an image's width and height are more than 0 points");
                image.width = size.x;
                image.height = size.y;
                sized = true;
            } else {
                return FailAt(value, where, "unknown key \"" + key + "\" (an image takes \"image\", \"at\" and \"size\")");
            }
        }
        if (!placed) return FailAt(value, where, "an image takes \"at\": [x, y] of its top-left corner");
        if (!sized) return FailAt(value, where, "an image takes \"size\": [width, height] in points");
        const std::filesystem::path path =
            folder_.empty() ? std::filesystem::path(file) : std::filesystem::path(folder_) / file;
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec))
            return FailAt(value, where + ".image", "cannot read " + path.string() + ": it is a folder");
        auto picture = std::make_shared<Picture>();
        std::string why;
        if (!ReadPictureFile(path.string(), *picture, why)) return FailAt(value, where + ".image", why);
        image.picture = std::move(picture);
        return true;
    }

    // A gradient item: a box of two corners, its two colours and direction.
    bool ReadGradient(const Json& value, const std::string& where, DrawItem& item) {
        item.shape = ShapeKind::Gradient;
        GradientSpec& gradient = item.gradient;
        bool from = false, to = false;
        for (const auto& [key, entry] : value.items()) {
            const std::string at = where + "." + key;
            if (key == "gradient") {
                std::vector<PagePoint> corners;
                if (!ReadPoints(value, entry, at, corners)) return false;
                if (corners.size() != 2)
                    return FailAt(value, at,
                                  "a gradient takes 2 points (opposite corners of its box), not " +
                                      std::to_string(corners.size()));
                gradient.left = corners[0].x, gradient.top = corners[0].y;
                gradient.right = corners[1].x, gradient.bottom = corners[1].y;
            } else if (key == "from" || key == "to") {
                if (!ReadColour(value, entry, at, key == "from" ? gradient.from : gradient.to)) return false;
                (key == "from" ? from : to) = true;
            } else if (key == "direction") {
                const std::string text = entry.is_string() ? entry.get<std::string>() : std::string();
                if (text != "horizontal" && text != "vertical")
                    return FailAt(value, at, "expected \"horizontal\" or \"vertical\"");
                gradient.vertical = text == "vertical";
            } else {
                return FailAt(value, where,
                              "unknown key \"" + key +
                                  "\" (a gradient takes \"gradient\", \"from\", \"to\" and \"direction\")");
            }
        }
        if (!from || !to) return FailAt(value, where, "a gradient takes the colours \"from\" and \"to\"");
        return true;
    }

    // A text item: "text" or "textblock" with its place, font, colour,
    // alignment, and a text's rotation or a block's width and leading.
    bool ReadText(const Json& value, const std::string& where, DrawItem& item) {
        item.shape = ShapeKind::Text;
        TextSpec& text = item.text;
        if (value.contains("text") && value.contains("textblock"))
            return FailAt(value, where, "one text to an item, not both \"text\" and \"textblock\"");
        text.block = value.contains("textblock");
        const std::string kind = text.block ? "textblock" : "text";
        bool placed = false, wide = false;
        for (const auto& [key, entry] : value.items()) {
            const std::string at = where + "." + key;
            if (key == kind) {
                if (!entry.is_string() || entry.get<std::string>().empty() || !Utf16(entry.get<std::string>(), text.text))
                    return FailAt(value, at, "expected a string of UTF-8 text");
            } else if (key == "at") {
                PagePoint point;
                if (!ReadPoint(value, entry, at, point, -kMaxCoordinate)) return false;
                text.x = point.x;
                text.y = point.y;
                placed = true;
            } else if (key == "font") {
                if (!ReadFont(value, entry, at, text.font)) return false;
            } else if (key == "colour") {
                if (!ReadColour(value, entry, at, text.colour)) return false;
            } else if (key == "align") {
                static const std::pair<const char*, UINT> kAlign[] = {
                    {"left", TA_LEFT}, {"center", TA_CENTER}, {"right", TA_RIGHT}};
                const std::string name = entry.is_string() ? entry.get<std::string>() : std::string();
                bool known = false;
                for (const auto& [word, align] : kAlign)
                    if (name == word) text.align = align, known = true;
                if (!known) return FailAt(value, at, "expected \"left\", \"center\" or \"right\"");
            } else if (key == "rotation" && !text.block) {
                if (!entry.is_number() || !(entry.get<double>() >= -360 && entry.get<double>() <= 360))
                    return FailAt(value, at, "a rotation is -360 to 360 degrees");
                text.rotation = entry.get<double>();
            } else if (key == "width" && text.block) {
                if (!entry.is_number() || !(entry.get<double>() > 0 && entry.get<double>() <= kMaxCoordinate))
                    return FailAt(value, at, "a width is more than 0 and at most " + Number(kMaxCoordinate) + " points");
                text.width = entry.get<double>();
                wide = true;
            } else if (key == "leading" && text.block) {
                if (!entry.is_number() || !(entry.get<double>() > 0 && entry.get<double>() <= 1000))
                    return FailAt(value, at, "a leading is more than 0 and at most 1000 points");
                text.leading = entry.get<double>();
            } else {
                return FailAt(value, where,
                              "unknown key \"" + key + "\" (" + Article(kind) +
                                  (text.block ? " takes \"at\", \"width\", \"font\", \"colour\", \"align\" and \"leading\")"
                                              : " takes \"at\", \"font\", \"colour\", \"align\" and \"rotation\")"));
            }
        }
        if (!placed) return FailAt(value, where, Article(kind) + " takes \"at\": [x, y] in points");
        if (text.block && !wide) return FailAt(value, where, "a textblock takes a \"width\" in points");
        return true;
    }

    bool ReadFont(const Json& item, const Json& value, const std::string& where, TextFont& font) {
        if (!value.is_object())
            return FailAt(item, where, "a font is {\"face\", \"size\", \"bold\", \"italic\"}");
        for (const auto& [key, entry] : value.items()) {
            if (key == "face") {
                std::u16string face;
                if (!entry.is_string() || !Utf16(entry.get<std::string>(), face) || face.empty() ||
                    face.size() >= LF_FACESIZE)
                    return FailAt(item, where + ".face", "a face is a font name of 1 to 31 characters");
                font.face = face;
            } else if (key == "size") {
                if (!entry.is_number() || !(entry.get<double>() >= 1 && entry.get<double>() <= 1000))
                    return FailAt(item, where + ".size", "a size is 1 to 1000 points");
                font.size = entry.get<double>();
            } else if (key == "bold" || key == "italic") {
                if (!entry.is_boolean()) return FailAt(item, where + "." + key, "expected true or false");
                (key == "bold" ? font.bold : font.italic) = entry.get<bool>();
            } else {
                return FailAt(item, where,
                              "unknown key \"" + key + "\" (a font takes \"face\", \"size\", \"bold\" and \"italic\")");
            }
        }
        return true;
    }

    // UTF-8 (as the parser checked it) to UTF-16.
    static bool Utf16(const std::string& text, std::u16string& out) {
        out.clear();
        if (text.empty()) return true;
        const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
        if (length <= 0) return false;
        out.resize(size_t(length));
        return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), out.data(), length) ==
               length;
    }

    bool CheckCount(const Json& item, const std::string& where, const ShapeName& shape, size_t count) {
        std::string wanted;
        switch (shape.kind) {
            case ShapeKind::Line: wanted = count == 2 ? "" : "2 points"; break;
            case ShapeKind::Polyline: wanted = count >= 2 ? "" : "2 or more points"; break;
            case ShapeKind::Polygon: wanted = count >= 3 ? "" : "3 or more points"; break;
            case ShapeKind::Bezier: wanted = count >= 4 && count % 3 == 1 ? "" : "3n+1 points (4, 7, 10, ...)"; break;
            case ShapeKind::Arc:
                wanted = count == 4 ? "" : "4 points (two corners of its box, then where it starts and ends)";
                break;
            default: wanted = count == 2 ? "" : "2 points (opposite corners of its box)"; break;
        }
        if (wanted.empty()) return true;
        return FailAt(item, where, Article(shape.name) + " takes " + wanted + ", not " + std::to_string(count));
    }

    bool ReadPath(const Json& item, const Json& value, const std::string& where, std::vector<PathStep>& steps) {
        if (!value.is_array() || value.empty())
            return FailAt(item, where, "a path is a list of steps: \"move\", \"line\", \"bezier\" and \"close\"");
        for (size_t i = 0; i < value.size(); ++i) {
            const std::string at = where + "[" + std::to_string(i) + "]";
            const Json& entry = value[i];
            PathStep step;
            if (entry.is_string() && entry.get<std::string>() == "close") {
                step.kind = PathStep::Kind::Close;
            } else if (entry.is_object() && entry.size() == 1) {
                const std::string key = entry.begin().key();
                const Json& points = entry.begin().value();
                if (key == "move") {
                    step.kind = PathStep::Kind::Move;
                    step.points.resize(1);
                    if (!ReadPoint(item, points, at + ".move", step.points[0], -kMaxCoordinate)) return false;
                } else if (key == "line" || key == "bezier") {
                    step.kind = key == "line" ? PathStep::Kind::Line : PathStep::Kind::Bezier;
                    if (!ReadPoints(item, points, at + "." + key, step.points)) return false;
                    const size_t n = step.points.size();
                    if (key == "line" && n < 1)
                        return FailAt(item, at + ".line", "a line step takes 1 or more points, not 0");
                    if (key == "bezier" && (n < 3 || n % 3 != 0))
                        return FailAt(item, at + ".bezier",
                                      "a bezier step takes 3n points (3, 6, 9, ...), not " + std::to_string(n));
                } else {
                    return FailAt(item, at,
                                  "unknown step \"" + key +
                                      "\" (a path takes \"move\", \"line\", \"bezier\" and \"close\")");
                }
            } else {
                return FailAt(item, at,
                              "a step is {\"move\": point}, {\"line\": [points]}, {\"bezier\": [points]} or "
                              "\"close\"");
            }
            if (i == 0 && step.kind != PathStep::Kind::Move) return FailAt(item, at, "a path starts with \"move\"");
            steps.push_back(std::move(step));
        }
        return true;
    }

    bool ReadPoints(const Json& item, const Json& value, const std::string& where, std::vector<PagePoint>& points) {
        if (!value.is_array()) return FailAt(item, where, "expected a list of points [x, y]");
        points.resize(value.size());
        for (size_t i = 0; i < value.size(); ++i)
            if (!ReadPoint(item, value[i], where + "[" + std::to_string(i) + "]", points[i], -kMaxCoordinate))
                return false;
        return true;
    }

    // A point [x, y], or a size [width, height] with `low` 0.
    bool ReadPoint(const Json& item, const Json& value, const std::string& where, PagePoint& point, double low) {
        if (!value.is_array() || value.size() != 2 || !value[0].is_number() || !value[1].is_number())
            return FailAt(item, where, low < 0 ? "a point is [x, y] in points" : "expected [width, height] in points");
        const double x = value[0].get<double>(), y = value[1].get<double>();
        if (!(x >= low && x <= kMaxCoordinate && y >= low && y <= kMaxCoordinate))
            return FailAt(item, where, "a value of " + Number(low) + " to " + Number(kMaxCoordinate) + " points");
        point = PagePoint{x, y};
        return true;
    }

    bool ReadColour(const Json& item, const Json& value, const std::string& where, COLORREF& colour) {
        const std::string text = value.is_string() ? value.get<std::string>() : std::string();
        unsigned rgb = 0;
        bool ok = text.size() == 7 && text[0] == '#';
        for (size_t i = 1; ok && i < 7; ++i) {
            const char c = char(std::tolower(static_cast<unsigned char>(text[i])));
            ok = std::isxdigit(static_cast<unsigned char>(c));
            rgb = rgb * 16 + unsigned(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c - 'a' + 10);
        }
        if (!ok) return FailAt(item, where, "a colour is \"#rrggbb\" in hexadecimal, not " + value.dump());
        colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
        return true;
    }

    bool ReadPen(const Json& item, const Json& value, const std::string& where, ShapePen& pen) {
        if (value.is_string() && value.get<std::string>() == "none") {
            pen.style = PS_NULL;
            return true;
        }
        if (!value.is_object()) return FailAt(item, where, "a pen is \"none\" or {\"colour\", \"width\", \"style\"}");
        for (const auto& [key, entry] : value.items()) {
            if (key == "colour") {
                if (!ReadColour(item, entry, where + ".colour", pen.colour)) return false;
            } else if (key == "width") {
                if (!entry.is_number() || !(entry.get<double>() >= 0 && entry.get<double>() <= 72))
                    return FailAt(item, where + ".width", "a pen's width is 0 to 72 points");
                pen.width = entry.get<double>();
            } else if (key == "style") {
                static const std::pair<const char*, int> kStyles[] = {
                    {"solid", PS_SOLID}, {"dash", PS_DASH}, {"dot", PS_DOT}, {"dashdot", PS_DASHDOT}, {"none", PS_NULL}};
                const std::string text = entry.is_string() ? entry.get<std::string>() : std::string();
                bool known = false;
                for (const auto& [name, style] : kStyles)
                    if (text == name) pen.style = style, known = true;
                if (!known)
                    return FailAt(item, where + ".style", "expected \"solid\", \"dash\", \"dot\", \"dashdot\" or \"none\"");
            } else {
                return FailAt(item, where, "unknown key \"" + key + "\" (a pen takes \"colour\", \"width\" and \"style\")");
            }
        }
        if (pen.style != PS_SOLID && pen.style != PS_NULL && pen.width > 0)
            return FailAt(item, where, "a dashed or dotted pen is the thinnest pen: its width is 0");
        return true;
    }

    bool ReadBrush(const Json& item, const Json& value, const std::string& where, ShapeBrush& brush) {
        if (value.is_string() && value.get<std::string>() == "none") {
            brush.kind = ShapeBrush::Kind::None;
            return true;
        }
        if (!value.is_object())
            return FailAt(item, where, "a brush is \"none\", {\"colour\"} or {\"hatch\", \"colour\"}");
        brush.kind = ShapeBrush::Kind::Solid;
        for (const auto& [key, entry] : value.items()) {
            if (key == "colour") {
                if (!ReadColour(item, entry, where + ".colour", brush.colour)) return false;
            } else if (key == "hatch") {
                static const std::pair<const char*, int> kHatches[] = {
                    {"horizontal", HS_HORIZONTAL}, {"vertical", HS_VERTICAL},   {"fdiagonal", HS_FDIAGONAL},
                    {"bdiagonal", HS_BDIAGONAL},   {"cross", HS_CROSS},         {"diagcross", HS_DIAGCROSS}};
                const std::string text = entry.is_string() ? entry.get<std::string>() : std::string();
                bool known = false;
                for (const auto& [name, hatch] : kHatches)
                    if (text == name) brush.hatch = hatch, known = true;
                if (!known)
                    return FailAt(item, where + ".hatch",
                                  "expected \"horizontal\", \"vertical\", \"fdiagonal\", \"bdiagonal\", \"cross\" or "
                                  "\"diagcross\"");
                brush.kind = ShapeBrush::Kind::Hatch;
            } else {
                return FailAt(item, where, "unknown key \"" + key + "\" (a brush takes \"colour\" and \"hatch\")");
            }
        }
        return true;
    }

    // "a line", "an arc".
    static std::string Article(const std::string& noun) {
        return (std::string("aeiou").find(noun[0]) == std::string::npos ? "a " : "an ") + noun;
    }

    static std::string Number(double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", value);
        return text;
    }

    static std::string CountRange(const std::string& count) {
        return "a document has 1 to " + std::to_string(kMaxPages) + " pages, not " + count;
    }

    bool Fail(const std::string& where, const std::string& message) {
        error_ = name_ + ": " + (where.empty() ? "" : where + ": ") + message;
        return false;
    }

    // A mistake inside the object or list `at`, reported with its line.
    bool FailAt(const Json& at, const std::string& where, const std::string& message) {
        const auto line = lines_.find(&at);
        if (line == lines_.end()) return Fail(where, message);
        error_ = name_ + ": line " + std::to_string(line->second) + ": " + where + ": " + message;
        return false;
    }

    const std::string& name_;
    const std::string& folder_;  // relative image paths start here; empty: the working folder
    const LineMap& lines_;
    std::string& error_;
};

}  // namespace

bool ParseDocument(std::string_view text, const std::string& name, Document& document, std::string& error,
                   const std::string& folder) {
    document = Document{};
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        error = name + ": the document is empty";
        return false;
    }
    // A key given twice in one object is refused, as an unknown key is: the
    // parser would keep only the last one without a word.
    struct DuplicateKey {
        std::string key;
    };
    std::vector<std::set<std::string>> objects;
    int lineBreaks = 0;
    std::vector<int> starts;  // the line of each object and list, in the text's order
    const Json::parser_callback_t refuseDuplicates = [&](int, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::array_start) starts.push_back(lineBreaks + 1);
        if (event == Json::parse_event_t::object_start) {
            starts.push_back(lineBreaks + 1);
            objects.emplace_back();
        } else if (event == Json::parse_event_t::object_end) {
            if (!objects.empty()) objects.pop_back();
        } else if (event == Json::parse_event_t::key && !objects.empty()) {
            const std::string key = parsed.get<std::string>();
            if (!objects.back().insert(key).second) throw DuplicateKey{key};
        }
        return true;
    };
    Json root;
    try {
        root = Json::parse(LineCountingIterator(text.data(), &lineBreaks),
                           LineCountingIterator(text.data() + text.size(), &lineBreaks), refuseDuplicates, true, true);
    } catch (const Json::exception& e) {
        error = name + ": " + WithoutExceptionTag(e.what());
        return false;
    } catch (const DuplicateKey& duplicate) {
        error = name + ": the key \"" + duplicate.key + "\" is given twice in one object";
        return false;
    }
    try {
        const LineMap lines = LinesOf(root, starts);
        if (!Reader(name, folder, lines, error).Read(root, document)) return false;
    } catch (const Json::exception& e) {
        error = name + ": " + WithoutExceptionTag(e.what());
        return false;
    }
    document.source = name;
    return true;
}

bool LoadDocument(const std::string& path, Document& document, std::string& error) {
    std::string text;
    if (path == "-") {
        struct stat info {};
        if (fstat(STDIN_FILENO, &info) != 0 || S_ISDIR(info.st_mode)) {
            error = std::string("cannot read the document from standard input: ") +
                    (S_ISDIR(info.st_mode) ? "it is a folder" : std::strerror(errno));
            return false;
        }
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        if (std::cin.bad()) {
            error = "cannot read the document from standard input";
            return false;
        }
    } else {
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            error = "cannot read " + path + ": it is a folder";
            return false;
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) {
            error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
    }
    const std::string name = path == "-" ? "standard input" : path;
    const std::string folder = path == "-" ? std::string() : std::filesystem::path(path).parent_path().string();
    if (!ParseDocument(text, name, document, error, folder)) return false;
    if (!document.titled && path != "-") document.title = std::filesystem::path(path).filename().string();
    return true;
}

}  // namespace tamprint
