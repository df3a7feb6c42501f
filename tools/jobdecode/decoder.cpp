// The job decoder: PJL sections, PCL XL stream headers and the binary
// operator stream, with the image, pattern and font blocks checked and decoded.
#include "detail.h"
#include "tables.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>
#include <map>

namespace tam::job {
namespace {

using detail::Failure;
using detail::Hex;
using detail::Printable;

constexpr std::string_view kUel = "\x1B%-12345X";
constexpr uint8_t kEsc = 0x1B;

// Rows longer than this are not decoded: no PCL XL source width gets near it.
constexpr size_t kMaxRowBytes = size_t(1) << 20;

bool IsWhitespace(uint8_t b) { return b == 0x00 || (b >= 0x09 && b <= 0x0D) || b == 0x20; }

bool IsValueTag(uint8_t b) {
    const uint8_t group = b & 0xF8;
    return (b & 0x07) <= 5 && (group == 0xC0 || group == 0xC8 || group == 0xD0 || group == 0xE0);
}

bool IsTokenStart(uint8_t b) {
    return IsValueTag(b) || (b >= kAttrUByte && b <= kEmbeddedDataByte) || IsWhitespace(b) || b == kEsc ||
           FindOperatorInfo(b) != nullptr;
}

// Bytes of one element by the low three bits of a data type tag.
constexpr size_t kElementSize[6] = {1, 2, 4, 2, 4, 4};

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The begin ... end blocks of the stream, inside which only the operators of
// the block may appear.
enum class Block { None, Image, Pattern, FontHeader, Char, Scan, Stream };

struct Role {
    Block block;
    int stage;  // 0 begins, 1 inside, 2 ends
};

std::optional<Role> RoleOf(uint8_t tag) {
    switch (tag) {
    case op::BeginImage: return Role{Block::Image, 0};
    case op::ReadImage: return Role{Block::Image, 1};
    case op::EndImage: return Role{Block::Image, 2};
    case op::BeginRastPattern: return Role{Block::Pattern, 0};
    case op::ReadRastPattern: return Role{Block::Pattern, 1};
    case op::EndRastPattern: return Role{Block::Pattern, 2};
    case op::BeginFontHeader: return Role{Block::FontHeader, 0};
    case op::ReadFontHeader: return Role{Block::FontHeader, 1};
    case op::EndFontHeader: return Role{Block::FontHeader, 2};
    case op::BeginChar: return Role{Block::Char, 0};
    case op::ReadChar: return Role{Block::Char, 1};
    case op::EndChar: return Role{Block::Char, 2};
    case op::BeginScan: return Role{Block::Scan, 0};
    case op::ScanLineRel: return Role{Block::Scan, 1};
    case op::EndScan: return Role{Block::Scan, 2};
    case op::BeginStream: return Role{Block::Stream, 0};
    case op::ReadStream: return Role{Block::Stream, 1};
    case op::EndStream: return Role{Block::Stream, 2};
    default: return std::nullopt;
    }
}

std::string_view BlockName(Block block) {
    switch (block) {
    case Block::Image: return "an image";
    case Block::Pattern: return "a raster pattern";
    case Block::FontHeader: return "a font header";
    case Block::Char: return "a character download";
    case Block::Scan: return "a scan";
    case Block::Stream: return "a stream definition";
    case Block::None: break;
    }
    return "nothing";
}

class Decoder {
public:
    Decoder(std::span<const uint8_t> in, const DecodeOptions& options) : in_(in), n_(in.size()), options_(options) {
        job_.size = n_;
    }

    DecodedJob Run();

private:
    enum class Last { Nothing, Uel, Line, Garbage, Stream };

    struct GraphicsState {
        int colorSpace = 1;
        std::vector<uint8_t> palette;
    };

    struct PatternDefinition {
        int raster = -1;
        int persistence = 0;
    };

    struct HeaderChunk {
        size_t headerStart;  // offset in the font's header bytes
        size_t jobOffset;    // offset of the same byte in the job
    };

    void Report(size_t at, std::string reason);
    bool Matches(size_t at, std::string_view text) const {
        return at <= n_ && text.size() <= n_ - at && std::memcmp(in_.data() + at, text.data(), text.size()) == 0;
    }
    uint64_t ReadUnsigned(size_t at, size_t size, bool littleEndian) const;

    // PJL
    bool DecodePjl();
    bool DecodePjlLine();
    void SkipNonPjl();
    static void ParsePjlWords(PjlLine& line);

    // PCL XL tokens
    void DecodeStream();
    void DecodeTokens();
    void ReadValue();
    void ReadAttributeId();
    void ReadEmbeddedData();
    void BeginOperator(uint8_t tag, const OperatorInfo& info);
    void FinishOperator();
    void SkipUnknown();

    // Operators
    void Process(size_t index);
    const Value* Get(const Operator& op, uint16_t id) const;
    bool Need(const Operator& op, uint16_t id, int64_t& out);
    void ResetSession();
    void CloseBlock();
    void StartRaster(size_t index, bool pattern);
    void ReadRaster(size_t index);
    void EndRaster(size_t index);
    void KeepRow(Raster& r, std::span<const uint8_t> row);
    void DropRows(Raster& r);
    void BeginFontHeader(size_t index);
    void ReadFontHeader(size_t index);
    void EndFontHeader(size_t index);
    void BeginChar(size_t index);
    void ReadChar(size_t index);
    void RemoveFont(size_t index);
    void CheckText(const Operator& op);
    void DecodePoints(Operator& op);
    std::string FontNameOf(const Operator& op);

    std::span<const uint8_t> in_;
    size_t n_;
    DecodeOptions options_;
    DecodedJob job_;
    size_t pos_ = 0;
    bool stopped_ = false;
    Last last_ = Last::Nothing;

    // Token state of the current stream.
    bool littleEndian_ = true;      // the binding's byte order
    bool dataLittleEndian_ = true;  // DataOrg: byte order of embedded data
    bool haveValue_ = false;
    size_t valueAt_ = 0;
    Value value_;
    std::vector<Attribute> attrs_;
    size_t waiting_ = SIZE_MAX;  // the last operator, which embedded data may still follow

    // Session state.
    bool sessionOpen_ = false;
    bool pageOpen_ = false;
    GraphicsState gs_;
    std::vector<GraphicsState> gsStack_;
    Block block_ = Block::None;
    int raster_ = -1;
    std::vector<uint8_t> seed_;
    size_t keptBytes_ = 0;
    int fontHeader_ = -1;
    std::vector<HeaderChunk> headerChunks_;
    int charFont_ = -1;
    std::map<std::string, int> activeFonts_;
    std::map<int64_t, PatternDefinition> patterns_;
};

void Decoder::Report(size_t at, std::string reason) {
    if (stopped_) return;
    if (job_.problems.size() >= options_.maxProblems) {
        job_.problems.push_back({at, "too many problems; decoding stopped"});
        stopped_ = true;
        return;
    }
    job_.problems.push_back({at, std::move(reason)});
}

uint64_t Decoder::ReadUnsigned(size_t at, size_t size, bool littleEndian) const {
    uint64_t v = 0;
    for (size_t i = 0; i < size; ++i) {
        const uint64_t b = in_[at + i];
        v |= littleEndian ? b << (8 * i) : b << (8 * (size - 1 - i));
    }
    return v;
}

DecodedJob Decoder::Run() {
    if (n_ == 0) {
        Report(0, "the job is empty");
    } else {
        if (!Matches(0, kUel)) Report(0, "the job does not begin with the universal exit sequence");
        while (!stopped_ && pos_ < n_) {
            if (!DecodePjl()) break;
            DecodeStream();
        }
        if (last_ == Last::Line) Report(n_, "the job ends with a PJL line instead of the universal exit sequence");
    }
    const size_t streams = job_.streams.size();
    for (const PjlLine& line : job_.pjl) {
        if (line.section == 0) job_.header.push_back(line);
        if (streams > 0 && line.section == streams) job_.trailer.push_back(line);
    }
    return std::move(job_);
}

// ---------------------------------------------------------------- PJL

bool Decoder::DecodePjl() {
    while (!stopped_ && pos_ < n_) {
        if (Matches(pos_, kUel)) {
            PjlLine line;
            line.offset = pos_;
            line.section = job_.streams.size();
            line.uel = true;
            line.text = kUel;
            job_.pjl.push_back(std::move(line));
            pos_ += kUel.size();
            last_ = Last::Uel;
            continue;
        }
        if (Matches(pos_, "@PJL")) {
            const size_t after = pos_ + 4;
            if (after == n_ || in_[after] == ' ' || in_[after] == '\t' || in_[after] == '\r' || in_[after] == '\n') {
                if (DecodePjlLine()) return true;
                continue;
            }
        }
        SkipNonPjl();
    }
    return false;
}

// One "@PJL ..." line. The JOBOWNER value is raw UTF-16LE, which may hold any
// byte: it runs to the first quotation mark, at an even distance from the
// opening one, that CR LF follows. Returns true for ENTER LANGUAGE=PCLXL.
bool Decoder::DecodePjlLine() {
    const size_t start = pos_;
    PjlLine line;
    line.offset = start;
    line.section = job_.streams.size();
    last_ = Last::Line;

    constexpr std::string_view kOwner = "@PJL SET JOBOWNER=\"";
    if (Matches(start, kOwner)) {
        const size_t open = start + kOwner.size();
        for (size_t p = open; p + 3 <= n_; p += 2) {
            if (in_[p] == '"' && in_[p + 1] == '\r' && in_[p + 2] == '\n') {
                line.text.assign(reinterpret_cast<const char*>(in_.data() + start), p + 1 - start);
                line.lineEnd = "\r\n";
                line.command = "SET";
                line.key = "JOBOWNER";
                line.hasOwner = true;
                for (size_t q = open; q < p; q += 2) line.owner.push_back(char16_t(in_[q] | (in_[q + 1] << 8)));
                line.value = Utf16ToUtf8(line.owner);
                job_.pjl.push_back(std::move(line));
                pos_ = p + 3;
                return false;
            }
        }
        Report(open - 1, "the JOBOWNER value has no closing quotation mark followed by CR LF");
    }

    const void* found = std::memchr(in_.data() + start, '\n', n_ - start);
    const size_t lf = found ? static_cast<const uint8_t*>(found) - in_.data() : n_;
    size_t textEnd = lf;
    if (!found) {
        Report(n_, "the last PJL line has no line end");
    } else if (lf > start && in_[lf - 1] == '\r') {
        textEnd = lf - 1;
        line.lineEnd = "\r\n";
    } else {
        line.lineEnd = "\n";
    }
    for (size_t p = start; p < textEnd; ++p) {
        const uint8_t b = in_[p];
        if ((b < 0x20 && b != '\t') || b == 0x7F) {
            Report(p, "control byte " + Hex(b) + " in a PJL line");
            break;
        }
    }
    line.text.assign(reinterpret_cast<const char*>(in_.data() + start), textEnd - start);
    ParsePjlWords(line);
    pos_ = found ? lf + 1 : n_;

    bool enter = false;
    if (EqualNoCase(line.command, "ENTER")) {
        if (EqualNoCase(line.key, "LANGUAGE") && EqualNoCase(line.value, "PCLXL")) {
            enter = true;
        } else {
            Report(start, "ENTER " + Printable(line.key) + "=" + Printable(line.value) +
                              " does not select PCL XL");
        }
    }
    job_.pjl.push_back(std::move(line));
    return enter;
}

void Decoder::ParsePjlWords(PjlLine& line) {
    std::string_view rest = Trim(std::string_view(line.text).substr(4));
    const size_t space = rest.find_first_of(" \t");
    line.command = std::string(rest.substr(0, space));
    const std::string_view args = space == std::string_view::npos ? std::string_view() : Trim(rest.substr(space));
    if (EqualNoCase(line.command, "COMMENT") || EqualNoCase(line.command, "ECHO")) {
        line.value = std::string(args);
        return;
    }
    const size_t equals = args.find('=');
    if (equals == std::string_view::npos) {
        line.value = std::string(args);
    } else {
        line.key = std::string(Trim(args.substr(0, equals)));
        line.value = std::string(Trim(args.substr(equals + 1)));
    }
}

// Bytes outside the PCL XL stream that are neither PJL lines nor a universal
// exit: reported once, up to the next escape or the next line that begins "@PJL".
void Decoder::SkipNonPjl() {
    const size_t start = pos_;
    size_t p = pos_ + 1;
    while (p < n_ && in_[p] != kEsc && !(in_[p - 1] == '\n' && Matches(p, "@PJL"))) ++p;
    std::string reason = std::to_string(p - start) + " bytes that are neither PJL lines nor a universal exit sequence";
    if (in_[start] == kEsc) reason += " (an escape not followed by %-12345X)";
    Report(start, std::move(reason));
    pos_ = p;
    last_ = Last::Garbage;
}

// ---------------------------------------------------------------- PCL XL tokens

void Decoder::DecodeStream() {
    last_ = Last::Stream;
    StreamHeader header;
    header.offset = pos_;
    littleEndian_ = true;
    if (pos_ >= n_) {
        Report(n_, "the job ends after ENTER LANGUAGE=PCLXL, before the PCL XL stream header");
        return;
    }
    const uint8_t binding = in_[pos_];
    if (binding == ')' || binding == '(' || binding == '\'') {
        const void* found = std::memchr(in_.data() + pos_, '\n', n_ - pos_);
        const size_t end = found ? static_cast<const uint8_t*>(found) - in_.data() : n_;
        header.present = true;
        header.binding = static_cast<char>(binding);
        header.raw.assign(reinterpret_cast<const char*>(in_.data() + pos_), std::min(end + 1, n_) - pos_);
        const std::string_view text(reinterpret_cast<const char*>(in_.data() + pos_ + 1), end - pos_ - 1);
        constexpr std::string_view kName = " HP-PCL XL;";
        if (text.substr(0, kName.size()) == kName) {
            const std::string_view fields = text.substr(kName.size());
            const size_t first = fields.find(';');
            header.protocolClass = std::string(fields.substr(0, first));
            if (first != std::string_view::npos) {
                const std::string_view rest = fields.substr(first + 1);
                const size_t second = rest.find(';');
                header.revision = std::string(rest.substr(0, second));
                if (second != std::string_view::npos) header.comment = std::string(rest.substr(second + 1));
            }
            auto numeric = [](const std::string& s) {
                return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
            };
            if (!numeric(header.protocolClass) || !numeric(header.revision)) {
                Report(pos_ + 1 + kName.size(), "the stream header names no protocol class and revision");
            }
        } else {
            Report(pos_ + 1, "the stream header does not name HP-PCL XL");
        }
        const size_t at = pos_;
        job_.streams.push_back(header);
        if (!found) {
            Report(at, "the PCL XL stream header has no line feed");
            pos_ = n_;
            return;
        }
        pos_ = end + 1;
        if (binding == '(') {
            Report(at, "the stream uses the big-endian binary binding '(' instead of ')'");
            littleEndian_ = false;
        } else if (binding == '\'') {
            Report(at, "the stream uses the ASCII binding, which is not decoded");
            while (pos_ < n_ && !Matches(pos_, kUel)) ++pos_;
            return;
        }
    } else {
        Report(pos_, "missing PCL XL stream header after ENTER LANGUAGE=PCLXL");
        job_.streams.push_back(header);
    }
    dataLittleEndian_ = littleEndian_;
    haveValue_ = false;
    attrs_.clear();
    waiting_ = SIZE_MAX;
    ResetSession();
    CloseBlock();
    DecodeTokens();
}

void Decoder::DecodeTokens() {
    while (!stopped_ && pos_ < n_) {
        const uint8_t b = in_[pos_];
        if (b == kEmbeddedData || b == kEmbeddedDataByte) {
            ReadEmbeddedData();
            continue;
        }
        if (IsWhitespace(b)) {
            const size_t start = pos_;
            while (pos_ < n_ && IsWhitespace(in_[pos_])) ++pos_;
            job_.whitespace += pos_ - start;
            if (!options_.allowWhitespace) {
                Report(start, std::to_string(pos_ - start) + " white-space byte(s) between PCL XL tokens");
            }
            continue;
        }
        FinishOperator();
        if (Matches(pos_, kUel)) break;
        if (IsValueTag(b)) {
            ReadValue();
        } else if (b == kAttrUByte || b == kAttrUInt16) {
            ReadAttributeId();
        } else if (const OperatorInfo* info = FindOperatorInfo(b)) {
            BeginOperator(b, *info);
        } else {
            SkipUnknown();
        }
    }
    FinishOperator();
    if (haveValue_) Report(valueAt_, "value not followed by an attribute identifier");
    if (!attrs_.empty()) Report(attrs_.front().offset, "attributes not followed by an operator");
    haveValue_ = false;
    attrs_.clear();
    if (pos_ >= n_) Report(n_, "the job ends inside the PCL XL stream, without the universal exit sequence");
}

void Decoder::ReadValue() {
    const size_t at = pos_;
    const uint8_t tag = in_[at];
    if (haveValue_) {
        Report(valueAt_, "value not followed by an attribute identifier");
        haveValue_ = false;
    }
    Value v;
    v.type = static_cast<DataType>(tag);
    const std::string name(DataTypeName(v.type));
    const uint8_t base = tag & 0x07;
    const uint8_t group = tag & 0xF8;
    const size_t element = kElementSize[base];
    size_t p = at + 1;
    uint64_t count = 0;
    if (group == 0xC8) {
        if (p >= n_) {
            Report(at, name + " value ends before its element count");
            pos_ = n_;
            return;
        }
        const uint8_t lengthTag = in_[p];
        if (lengthTag != 0xC0 && lengthTag != 0xC1) {
            Report(p, "the element count of a " + name + " must be a ubyte or uint16, found tag " + Hex(lengthTag));
            pos_ = p;
            return;
        }
        const size_t lengthSize = lengthTag == 0xC0 ? 1 : 2;
        if (n_ - (p + 1) < lengthSize) {
            Report(at, "the element count of a " + name + " is cut off by the end of the job");
            pos_ = n_;
            return;
        }
        count = ReadUnsigned(p + 1, lengthSize, littleEndian_);
        v.lengthTag = lengthTag;
        p += 1 + lengthSize;
    } else {
        count = group == 0xC0 ? 1 : group == 0xD0 ? 2 : 4;
    }
    const uint64_t need = count * element;
    if (need > n_ - p) {
        Report(at, name + " value needs " + std::to_string(need) + " bytes, only " + std::to_string(n_ - p) +
                       " remain");
        pos_ = n_;
        return;
    }
    if (base == 5) {
        v.reals.reserve(count);
        for (uint64_t i = 0; i < count; ++i) {
            v.reals.push_back(std::bit_cast<float>(static_cast<uint32_t>(ReadUnsigned(p + i * 4, 4, littleEndian_))));
        }
    } else {
        v.ints.reserve(count);
        for (uint64_t i = 0; i < count; ++i) {
            const uint64_t raw = ReadUnsigned(p + i * element, element, littleEndian_);
            if (base == 3) {
                v.ints.push_back(static_cast<int16_t>(raw));
            } else if (base == 4) {
                v.ints.push_back(static_cast<int32_t>(raw));
            } else {
                v.ints.push_back(static_cast<int64_t>(raw));
            }
        }
    }
    pos_ = p + need;
    haveValue_ = true;
    valueAt_ = at;
    value_ = std::move(v);
}

void Decoder::ReadAttributeId() {
    const size_t at = pos_;
    const uint8_t tag = in_[at];
    const size_t size = tag == kAttrUByte ? 1 : 2;
    if (n_ - (at + 1) < size) {
        Report(at, "attribute identifier cut off by the end of the job");
        pos_ = n_;
        haveValue_ = false;  // its value belongs to the identifier reported
        return;
    }
    const uint16_t id = static_cast<uint16_t>(ReadUnsigned(at + 1, size, littleEndian_));
    pos_ = at + 1 + size;
    if (!haveValue_) {
        std::string name(AttributeName(id));
        Report(at, "attribute identifier " + Hex(id) + (name.empty() ? "" : " (" + name + ")") + " without a value");
        return;
    }
    Attribute a;
    a.id = id;
    a.idTag = tag;
    a.name = AttributeName(id);
    a.value = std::move(value_);
    a.offset = valueAt_;
    if (a.name.empty()) Report(at, "unknown attribute identifier " + Hex(id));
    haveValue_ = false;
    attrs_.push_back(std::move(a));
}

void Decoder::ReadEmbeddedData() {
    const size_t at = pos_;
    const uint8_t tag = in_[at];
    const size_t lengthSize = tag == kEmbeddedData ? 4 : 1;
    const bool attach = waiting_ != SIZE_MAX && !haveValue_ && attrs_.empty();
    if (n_ - (at + 1) < lengthSize) {
        Report(at, "embedded data length cut off by the end of the job");
        pos_ = n_;
        if (attach) waiting_ = SIZE_MAX;  // its data is lost: nothing more to check
        return;
    }
    const uint64_t length = ReadUnsigned(at + 1, lengthSize, littleEndian_);
    const size_t start = at + 1 + lengthSize;
    if (length > n_ - start) {
        Report(at, "embedded data of " + std::to_string(length) + " bytes runs past the end of the job (" +
                       std::to_string(n_ - start) + " bytes remain)");
        pos_ = n_;
        if (attach) waiting_ = SIZE_MAX;
        return;
    }
    pos_ = start + length;
    if (!attach) {
        Report(at, "embedded data of " + std::to_string(length) + " bytes that does not follow an operator");
        return;
    }
    Operator& op = job_.ops[waiting_];
    op.dataTag = tag;
    op.dataOffset = start;
    op.data.assign(in_.begin() + start, in_.begin() + start + length);
    FinishOperator();
}

void Decoder::BeginOperator(uint8_t tag, const OperatorInfo& info) {
    if (haveValue_) {
        Report(valueAt_, "value not followed by an attribute identifier");
        haveValue_ = false;
    }
    Operator op;
    op.tag = tag;
    op.name = info.name;
    op.offset = pos_;
    op.stream = job_.streams.size() - 1;
    op.attributes = std::move(attrs_);
    attrs_.clear();
    for (size_t j = 1; j < op.attributes.size(); ++j) {
        for (size_t i = 0; i < j; ++i) {
            if (op.attributes[i].id == op.attributes[j].id) {
                Report(op.attributes[j].offset, "attribute " + Hex(op.attributes[j].id) + " given twice to " +
                                                    std::string(info.name));
                break;
            }
        }
    }
    ++pos_;
    job_.ops.push_back(std::move(op));
    waiting_ = job_.ops.size() - 1;
}

void Decoder::FinishOperator() {
    if (waiting_ == SIZE_MAX) return;
    const size_t index = waiting_;
    waiting_ = SIZE_MAX;
    Process(index);
    if (options_.onOperator) options_.onOperator(job_.ops[index]);
    if (!options_.keepOperators && index + 1 == job_.ops.size()) job_.ops.pop_back();
}

void Decoder::SkipUnknown() {
    const size_t start = pos_;
    size_t p = pos_ + 1;
    while (p < n_ && !IsTokenStart(in_[p])) ++p;
    std::string reason = "unknown tag " + Hex(in_[start]);
    if (p - start > 1) reason += " (and " + std::to_string(p - start - 1) + " more bytes that begin no token)";
    Report(start, std::move(reason));
    pos_ = p;
}

// ---------------------------------------------------------------- operators

const Value* Decoder::Get(const Operator& op, uint16_t id) const {
    const Attribute* a = op.Find(id);
    return a ? &a->value : nullptr;
}

bool Decoder::Need(const Operator& op, uint16_t id, int64_t& out) {
    const Value* v = Get(op, id);
    if (!v || v->Count() == 0) {
        Report(op.offset, std::string(op.name) + " lacks its " + std::string(AttributeName(id)) + " attribute");
        return false;
    }
    out = v->Int(0);
    return true;
}

void Decoder::ResetSession() {
    sessionOpen_ = false;
    pageOpen_ = false;
    gs_ = {};
    gsStack_.clear();
    activeFonts_.clear();
    patterns_.clear();
}

void Decoder::CloseBlock() {
    block_ = Block::None;
    raster_ = -1;
    seed_.clear();
    fontHeader_ = -1;
    headerChunks_.clear();
    charFont_ = -1;
}

void Decoder::Process(size_t index) {
    Operator& op = job_.ops[index];
    const OperatorInfo* info = FindOperatorInfo(op.tag);
    DataUse use = info->data;
    if (use == DataUse::Points) use = op.Find(attr::NumberOfPoints) ? DataUse::Required : DataUse::None;
    if (use == DataUse::None && op.dataTag) {
        Report(op.dataOffset - (op.dataTag == kEmbeddedData ? 5 : 2), std::string(op.name) + " takes no embedded data");
    }
    if (use == DataUse::Required && !op.dataTag) {
        Report(op.offset + 1, std::string(op.name) + " is not followed by its embedded data");
    }

    const std::optional<Role> role = RoleOf(op.tag);
    if (block_ != Block::None && !(role && role->block == block_ && role->stage != 0)) {
        Report(op.offset, std::string(op.name) + " inside " + std::string(BlockName(block_)) + " that is not ended");
        CloseBlock();
    }
    if (role && role->stage != 0 && block_ != role->block) {
        Report(op.offset, std::string(op.name) + " outside " + std::string(BlockName(role->block)));
        return;
    }

    switch (op.tag) {
    case op::BeginSession:
        if (sessionOpen_) Report(op.offset, "BeginSession while a session is open");
        ResetSession();
        sessionOpen_ = true;
        break;
    case op::EndSession:
        if (!sessionOpen_) Report(op.offset, "EndSession without BeginSession");
        if (pageOpen_) Report(op.offset, "EndSession while a page is open");
        ResetSession();
        break;
    case op::OpenDataSource:
        if (const Value* org = Get(op, attr::DataOrg)) {
            if (org->Int() != 0 && org->Int() != 1) {
                Report(op.offset, "DataOrg " + std::to_string(org->Int()) + " is neither 0 nor 1");
            } else {
                dataLittleEndian_ = org->Int() == 1;
            }
        }
        break;
    case op::BeginPage:
        if (pageOpen_) Report(op.offset, "BeginPage while a page is open");
        pageOpen_ = true;
        gs_ = {};
        gsStack_.clear();
        break;
    case op::EndPage:
        if (!pageOpen_) Report(op.offset, "EndPage without BeginPage");
        pageOpen_ = false;
        std::erase_if(patterns_, [](const auto& entry) { return entry.second.persistence < 2; });
        break;
    case op::PushGS: gsStack_.push_back(gs_); break;
    case op::PopGS:
        if (gsStack_.empty()) {
            Report(op.offset, "PopGS without a matching PushGS");
        } else {
            gs_ = std::move(gsStack_.back());
            gsStack_.pop_back();
        }
        break;
    case op::SetColorSpace:
        if (const Value* space = Get(op, attr::ColorSpace)) gs_.colorSpace = static_cast<int>(space->Int());
        gs_.palette.clear();
        if (const Value* palette = Get(op, attr::PaletteData)) {
            for (int64_t v : palette->ints) gs_.palette.push_back(static_cast<uint8_t>(v));
        }
        break;
    case op::SetFont: {
        const auto it = activeFonts_.find(FontNameOf(op));
        if (it != activeFonts_.end()) op.font = it->second;
        break;
    }
    case op::SetBrushSource:
    case op::SetPenSource:
        if (const Value* id = Get(op, attr::PatternSelectID)) {
            if (!patterns_.contains(id->Int())) {
                Report(op.offset, "pattern " + std::to_string(id->Int()) + " is selected but not defined");
            }
        }
        break;
    case op::Text:
    case op::TextPath: CheckText(op); break;
    case op::LinePath:
    case op::LineRelPath:
    case op::BezierPath:
    case op::BezierRelPath: DecodePoints(op); break;
    case op::BeginImage: StartRaster(index, false); break;
    case op::BeginRastPattern: StartRaster(index, true); break;
    case op::ReadImage:
    case op::ReadRastPattern: ReadRaster(index); break;
    case op::EndImage:
    case op::EndRastPattern: EndRaster(index); break;
    case op::BeginFontHeader: BeginFontHeader(index); break;
    case op::ReadFontHeader: ReadFontHeader(index); break;
    case op::EndFontHeader: EndFontHeader(index); break;
    case op::BeginChar: BeginChar(index); break;
    case op::ReadChar: ReadChar(index); break;
    case op::RemoveFont: RemoveFont(index); break;
    default: break;
    }

    if (role && role->stage == 0) block_ = role->block;
    if (role && role->stage == 2) CloseBlock();
}

// ---------------------------------------------------------------- images and patterns

void Decoder::StartRaster(size_t index, bool pattern) {
    Operator& op = job_.ops[index];
    Raster r;
    r.pattern = pattern;
    r.beginOp = index;
    int64_t mapping = 0, depth = 0, width = 0, height = 0;
    bool ok = Need(op, attr::ColorMapping, mapping);
    ok = Need(op, attr::ColorDepth, depth) && ok;
    ok = Need(op, attr::SourceWidth, width) && ok;
    ok = Need(op, attr::SourceHeight, height) && ok;
    if (const Value* dest = Get(op, attr::DestinationSize)) {
        r.destWidth = static_cast<uint32_t>(dest->Int(0));
        r.destHeight = static_cast<uint32_t>(dest->Int(1));
    }
    if (pattern) {
        int64_t id = 0, persistence = 0;
        ok = Need(op, attr::PatternDefineID, id) && ok;
        ok = Need(op, attr::PatternPersistence, persistence) && ok;
        r.patternId = id;
        r.persistence = static_cast<int>(persistence);
    }
    r.colorSpace = gs_.colorSpace;
    r.palette = gs_.palette;
    if (ok) {
        r.colorMapping = static_cast<int>(mapping);
        r.colorDepth = static_cast<int>(depth);
        if (depth < 0 || depth > 2) {
            Report(op.offset, "ColorDepth " + std::to_string(depth) + " is not 0, 1 or 2");
            ok = false;
        }
        if (mapping != 0 && mapping != 1) {
            Report(op.offset, "ColorMapping " + std::to_string(mapping) + " is neither 0 nor 1");
            ok = false;
        }
        if (width <= 0 || height <= 0 || width > UINT32_MAX || height > UINT32_MAX) {
            Report(op.offset, "source size " + std::to_string(width) + " x " + std::to_string(height) +
                                  " is not a raster");
            ok = false;
        }
    }
    if (ok) {
        const uint32_t bits = depth == 0 ? 1 : depth == 1 ? 4 : 8;
        const uint32_t components = mapping == 1 ? 1 : (r.colorSpace == 2 || r.colorSpace == 6) ? 3 : 1;
        r.width = static_cast<uint32_t>(width);
        r.height = static_cast<uint32_t>(height);
        r.bitsPerPixel = bits * components;
        r.rowBytes = (uint64_t(r.width) * r.bitsPerPixel + 7) / 8;
        if (r.rowBytes > kMaxRowBytes) {
            Report(op.offset, "rows of " + std::to_string(r.rowBytes) + " bytes are too long to decode");
            ok = false;
        }
    }
    r.valid = ok;
    r.rowsKept = ok;
    job_.rasters.push_back(std::move(r));
    raster_ = static_cast<int>(job_.rasters.size() - 1);
    op.raster = raster_;
    seed_.clear();
}

void Decoder::ReadRaster(size_t index) {
    Operator& op = job_.ops[index];
    Raster& r = job_.rasters[raster_];
    op.raster = raster_;
    int64_t start = 0, rows = 0, mode = 0;
    bool ok = Need(op, attr::StartLine, start);
    ok = Need(op, attr::BlockHeight, rows) && ok;
    ok = Need(op, attr::CompressMode, mode) && ok;
    if (!ok || !r.valid || !op.dataTag) {
        DropRows(r);
        return;
    }
    if (start != r.rowsRead) {
        Report(op.offset, std::string(op.name) + " StartLine " + std::to_string(start) +
                              " does not continue the " + std::to_string(r.rowsRead) + " rows read so far");
    }
    if (rows < 0 || rows > int64_t(r.height) - int64_t(r.rowsRead)) {
        Report(op.offset, std::string(op.name) + " block of " + std::to_string(rows) + " rows passes the " +
                              std::to_string(r.height) + " rows of the raster (" + std::to_string(r.rowsRead) +
                              " read)");
        DropRows(r);
        return;
    }
    size_t pad = 4;
    if (const Value* multiple = Get(op, attr::PadBytesMultiple)) {
        if (multiple->Int() < 1 || multiple->Int() > 255) {
            Report(op.offset, "PadBytesMultiple " + std::to_string(multiple->Int()) + " is not 1 to 255");
        } else {
            pad = static_cast<size_t>(multiple->Int());
        }
    }
    const size_t rowLength = (r.rowBytes + pad - 1) / pad * pad;
    op.firstRow = r.rowsRead;
    op.rowCount = static_cast<uint32_t>(rows);
    if (r.compressModes.empty() || r.compressModes.back() != mode) r.compressModes.push_back(static_cast<int>(mode));

    const auto sink = [&](std::span<const uint8_t> row) { KeepRow(r, row.first(r.rowBytes)); };
    const std::span<const uint8_t> data(op.data);
    Failure failure;
    bool good = true;
    switch (mode) {
    case 0: good = detail::DecodeUncompressed(data, rowLength, op.rowCount, sink, failure); break;
    case 1: good = detail::DecodeRunLength(data, rowLength, op.rowCount, sink, failure); break;
    case 3:
        if (seed_.size() != rowLength) seed_.resize(rowLength, 0);
        good = detail::DecodeDeltaRow(data, seed_, op.rowCount, dataLittleEndian_, sink, failure);
        break;
    case 2: DropRows(r); break;  // JPEG blocks are kept as data, not decoded
    default:
        Report(op.offset, "CompressMode " + std::to_string(mode) + " unknown");
        DropRows(r);
        break;
    }
    if (!good) {
        Report(op.dataOffset + failure.at, std::move(failure.reason));
        DropRows(r);
    }
    r.rowsRead += op.rowCount;
}

void Decoder::EndRaster(size_t index) {
    Operator& op = job_.ops[index];
    Raster& r = job_.rasters[raster_];
    op.raster = raster_;
    r.endOp = index;
    if (r.valid && r.rowsRead != r.height) {
        Report(op.offset, std::string(op.name) + " after " + std::to_string(r.rowsRead) + " of the " +
                              std::to_string(r.height) + " rows");
    }
    if (r.pattern && r.valid) patterns_[r.patternId] = {raster_, r.persistence};
}

void Decoder::KeepRow(Raster& r, std::span<const uint8_t> row) {
    if (!r.rowsKept) return;
    if (keptBytes_ + row.size() > options_.rowBudget) {
        DropRows(r);
        return;
    }
    r.pixels.insert(r.pixels.end(), row.begin(), row.end());
    keptBytes_ += row.size();
}

void Decoder::DropRows(Raster& r) {
    keptBytes_ -= r.pixels.size();
    r.pixels.clear();
    r.pixels.shrink_to_fit();
    r.rowsKept = false;
}

// ---------------------------------------------------------------- fonts

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

// ---------------------------------------------------------------- text and paths

void Decoder::CheckText(const Operator& op) {
    const Attribute* text = op.Find(attr::TextData);
    if (!text) {
        Report(op.offset, std::string(op.name) + " lacks its TextData attribute");
        return;
    }
    if (!text->value.IsArray()) {
        Report(text->offset, "TextData is not an array");
        return;
    }
    for (uint16_t id : {attr::XSpacingData, attr::YSpacingData}) {
        const Attribute* spacing = op.Find(id);
        if (spacing && spacing->value.Count() != text->value.Count()) {
            Report(spacing->offset, std::string(spacing->name) + " holds " + std::to_string(spacing->value.Count()) +
                                        " values for the " + std::to_string(text->value.Count()) +
                                        " characters of TextData");
        }
    }
}

void Decoder::DecodePoints(Operator& op) {
    const Value* number = Get(op, attr::NumberOfPoints);
    if (!number) return;
    int64_t type = 0;
    if (!Need(op, attr::PointType, type)) return;
    if (type < 0 || type > 3) {
        Report(op.offset, "PointType " + std::to_string(type) + " unknown");
        return;
    }
    const int64_t count = number->Int();
    const bool bezier = op.tag == op::BezierPath || op.tag == op::BezierRelPath;
    if (count < 0 || (bezier && count % 3 != 0)) {
        Report(op.offset, std::string(op.name) + " with " + std::to_string(count) + " points");
        return;
    }
    if (!op.dataTag) return;
    const size_t coordinate = type < 2 ? 1 : 2;
    const uint64_t expected = uint64_t(count) * 2 * coordinate;
    if (op.data.size() != expected) {
        Report(op.dataOffset, "NumberOfPoints " + std::to_string(count) + " of PointType " + std::to_string(type) +
                                  " needs " + std::to_string(expected) + " bytes of points, the data holds " +
                                  std::to_string(op.data.size()));
        return;
    }
    op.points.reserve(count);
    const auto read = [&](size_t at) -> int32_t {
        const uint8_t* d = op.data.data() + at;
        switch (type) {
        case 0: return d[0];
        case 1: return static_cast<int8_t>(d[0]);
        case 2: return dataLittleEndian_ ? d[0] | (d[1] << 8) : (d[0] << 8) | d[1];
        default: return static_cast<int16_t>(dataLittleEndian_ ? d[0] | (d[1] << 8) : (d[0] << 8) | d[1]);
        }
    };
    for (int64_t i = 0; i < count; ++i) {
        const size_t at = size_t(i) * 2 * coordinate;
        op.points.push_back({read(at), read(at + coordinate)});
    }
}

}  // namespace

DecodedJob DecodeJob(std::span<const uint8_t> bytes, const DecodeOptions& options) {
    return Decoder(bytes, options).Run();
}

DecodedJob DecodeJob(std::string_view bytes, const DecodeOptions& options) {
    return DecodeJob(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), options);
}

}  // namespace tam::job
