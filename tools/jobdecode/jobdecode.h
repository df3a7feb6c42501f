// Decoder of whole print jobs: the PJL job header, the PCL XL stream (binary
// binding, class 3.0) and the PJL end of job. It accounts for every byte of a
// job: what it cannot decode it reports as a Problem with the byte offset and
// the reason, and it never fails on damaged input. The tests use it as their
// oracle for job output; the tamdump tool prints what it finds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tam::job {

// Data type tags of the binary binding.
enum class DataType : uint8_t {
    UByte = 0xC0, UInt16 = 0xC1, UInt32 = 0xC2, SInt16 = 0xC3, SInt32 = 0xC4, Real32 = 0xC5,
    UByteArray = 0xC8, UInt16Array = 0xC9, UInt32Array = 0xCA,
    SInt16Array = 0xCB, SInt32Array = 0xCC, Real32Array = 0xCD,
    UByteXY = 0xD0, UInt16XY = 0xD1, UInt32XY = 0xD2, SInt16XY = 0xD3, SInt32XY = 0xD4, Real32XY = 0xD5,
    UByteBox = 0xE0, UInt16Box = 0xE1, UInt32Box = 0xE2, SInt16Box = 0xE3, SInt32Box = 0xE4, Real32Box = 0xE5,
};

// Tags of the binding that are not data types.
inline constexpr uint8_t kAttrUByte = 0xF8;        // one-byte attribute identifier follows
inline constexpr uint8_t kAttrUInt16 = 0xF9;       // two-byte attribute identifier follows
inline constexpr uint8_t kEmbeddedData = 0xFA;     // uint32 length, then the data
inline constexpr uint8_t kEmbeddedDataByte = 0xFB; // ubyte length, then the data

std::string_view DataTypeName(DataType type);  // "ubyte", "sint16_xy", ...; "" when unknown

// An attribute value: a scalar, an xy pair, a box or an array, kept with its
// tag so that a test can check the form the driver chose.
struct Value {
    DataType type = DataType::UByte;
    uint8_t lengthTag = 0;      // arrays: tag of the element count (0xC0 or 0xC1)
    std::vector<int64_t> ints;  // integer types: the numbers (1, 2, 4 or the array's count)
    std::vector<float> reals;   // real32 types likewise

    bool IsReal() const;
    bool IsArray() const;
    bool IsXY() const;
    bool IsBox() const;
    size_t Count() const;                  // numbers held
    double Number(size_t index = 0) const; // either kind as double; 0 when out of range
    int64_t Int(size_t index = 0) const;   // integers as held, reals truncated; 0 when out of range
    std::string Text() const;              // the low bytes of the numbers (ubyte arrays: the text)
};

struct Attribute {
    uint16_t id = 0;
    uint8_t idTag = kAttrUByte;  // 0xF8 or 0xF9
    std::string_view name;       // standard name; empty for an unknown identifier
    Value value;
    size_t offset = 0;           // offset of the value's data type tag
};

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct Operator {
    uint8_t tag = 0;
    std::string_view name;       // standard name
    size_t offset = 0;           // offset of the operator byte
    size_t stream = 0;           // index into DecodedJob::streams
    std::vector<Attribute> attributes;  // in the order written

    // Embedded data that follows the operator.
    uint8_t dataTag = 0;         // 0 (none), 0xFA or 0xFB
    size_t dataOffset = 0;       // offset of the first data byte
    std::vector<uint8_t> data;

    // Decoded views of the data and of the blocks the operator belongs to.
    std::vector<Point> points;   // path operators with NumberOfPoints: the points as written
    int raster = -1;             // image and raster-pattern operators: index into DecodedJob::rasters
    uint32_t firstRow = 0;       // ReadImage/ReadRastPattern: the rows this block supplied
    uint32_t rowCount = 0;
    int font = -1;               // font operators and SetFont of a downloaded font: index into fonts
    int glyph = -1;              // ReadChar: index into fonts[font].glyphs

    const Attribute* Find(std::string_view attributeName) const;
    const Attribute* Find(uint16_t id) const;
    bool Has(std::string_view attributeName) const { return Find(attributeName) != nullptr; }
    std::optional<int64_t> Int(std::string_view attributeName, size_t index = 0) const;
    std::optional<double> Number(std::string_view attributeName, size_t index = 0) const;
    std::optional<std::string> Text(std::string_view attributeName) const;
};

// An image (BeginImage ... EndImage) or raster pattern (BeginRastPattern ...
// EndRastPattern) with its rows decompressed.
struct Raster {
    bool pattern = false;
    size_t beginOp = 0;          // index into DecodedJob::ops
    size_t endOp = SIZE_MAX;     // SIZE_MAX while not ended
    bool valid = false;          // the attributes describe a raster that can be decoded
    int colorMapping = 0;        // 0 direct, 1 indexed
    int colorDepth = 0;          // 0 = 1 bit, 1 = 4 bits, 2 = 8 bits a component
    int colorSpace = 1;          // colour space in force at the begin (1 grey, 2 RGB, 6 sRGB)
    std::vector<uint8_t> palette;
    uint32_t width = 0;          // source pixels
    uint32_t height = 0;         // source rows
    uint32_t destWidth = 0;      // DestinationSize
    uint32_t destHeight = 0;
    int64_t patternId = 0;       // patterns: PatternDefineID and PatternPersistence
    int persistence = 0;
    uint32_t bitsPerPixel = 0;
    size_t rowBytes = 0;         // bytes of one decoded row, without the padding
    uint32_t rowsRead = 0;       // rows supplied by the blocks so far
    std::vector<int> compressModes;   // modes used, in the order met
    bool rowsKept = true;        // false: rows not kept (damaged, undecodable or over the budget)
    std::vector<uint8_t> pixels; // the decoded rows, rowBytes each, when rowsKept

    size_t RowsHeld() const { return rowBytes ? pixels.size() / rowBytes : 0; }
    std::span<const uint8_t> Row(size_t y) const;
    // Pixel value: palette index or grey level; direct RGB as 0xRRGGBB. 0 outside.
    uint32_t Pixel(uint32_t x, uint32_t y) const;
};

struct FontSegment {
    uint16_t id = 0;             // "BR", "GT", "GC", ... as a big-endian pair; 0xFFFF = null segment
    size_t offset = 0;           // offset of its data in the font header
    std::vector<uint8_t> data;
    std::string Name() const;    // the two letters, or "null"
};

struct FontTable {               // a directory entry of the "GT" segment
    std::string tag;
    uint32_t checksum = 0;
    uint32_t offset = 0;         // from the start of the segment data
    uint32_t length = 0;
};

struct FontHeader {
    bool parsed = false;
    uint8_t format = 0;
    uint8_t orientation = 0;
    uint16_t mapping = 0;
    uint8_t scaling = 0;         // 1 TrueType, 254 bitmap
    uint8_t variety = 0;
    uint16_t numberOfChars = 0;
    std::vector<FontSegment> segments;
    std::vector<FontTable> tables;
    uint16_t resolutionX = 0;    // "BR" segment of a bitmap font
    uint16_t resolutionY = 0;
    const FontSegment* Segment(std::string_view name) const;
    const FontTable* Table(std::string_view tag) const;
};

struct Glyph {                   // one downloaded character
    size_t op = 0;               // index of its ReadChar
    uint32_t code = 0;           // CharCode
    uint8_t format = 0;          // 0 bitmap, 1 TrueType
    uint8_t charClass = 0;
    // bitmap characters
    int16_t left = 0;
    int16_t top = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    // TrueType characters
    uint16_t sizeField = 0;
    int16_t leftSideBearing = 0;
    uint16_t advanceWidth = 0;
    int16_t topSideBearing = 0;
    uint16_t glyphId = 0;
    std::vector<uint8_t> body;   // bitmap rows ((width + 7) / 8 bytes each) or glyph outline

    bool BitAt(uint32_t x, uint32_t y) const;  // bitmap characters
};

struct Font {
    std::string name;
    size_t beginOp = 0;
    size_t endOp = SIZE_MAX;
    size_t removeOp = SIZE_MAX;  // RemoveFont, when the job removed it
    std::vector<uint8_t> headerBytes;
    FontHeader header;
    std::vector<Glyph> glyphs;   // in the order downloaded
    const Glyph* Find(uint32_t code) const;  // the last download of that code
};

struct Problem {
    size_t offset = 0;
    std::string reason;
};

// A PJL line, or a universal exit sequence (uel).
struct PjlLine {
    size_t offset = 0;
    size_t section = 0;          // number of PCL XL streams before it
    bool uel = false;
    std::string text;            // the line's bytes without its line end
    std::string lineEnd;         // "\r\n", "\n", or "" at the end of the job
    std::string command;         // "SET", "COMMENT", "ENTER", "EOJ", ...
    std::string key;             // SET/DEFAULT/ENTER: the variable before '='
    std::string value;           // its value (COMMENT: the text); JOBOWNER: the owner as UTF-8
    bool hasOwner = false;       // a JOBOWNER line whose UTF-16LE value was read
    std::u16string owner;        // ... and that value
};

struct StreamHeader {
    size_t offset = 0;
    bool present = false;        // false: the stream began without its header line
    char binding = 0;            // ')' little-endian binary, '(' big-endian, '\'' ASCII
    std::string protocolClass;   // "3"
    std::string revision;        // "0"
    std::string comment;         // the rest of the line, as written (may hold a NUL)
    std::string raw;             // the whole line with its line feed
};

struct DecodeOptions {
    size_t rowBudget = size_t(512) << 20;  // decoded raster bytes kept per job
    size_t maxProblems = 1000;             // decoding stops after this many
    // White space between PCL XL tokens is legal, but the driver never writes
    // any: by default each run of it is reported, so that stray bytes show.
    bool allowWhitespace = false;
    // Told of each operator once it is whole (its attributes and embedded
    // data read and checked), in the order of the job.
    std::function<void(const Operator&)> onOperator;
    // false: an operator is dropped from DecodedJob::ops once onOperator has
    // seen it, so that a long job decodes in little memory. The operator
    // indices that rasters and fonts hold then point at nothing.
    bool keepOperators = true;
};

struct DecodedJob {
    size_t size = 0;
    std::vector<PjlLine> pjl;        // every PJL line and universal exit, in order
    std::vector<PjlLine> header;     // the part of pjl before the first stream
    std::vector<PjlLine> trailer;    // the part after the last stream
    std::vector<StreamHeader> streams;
    std::vector<Operator> ops;
    std::vector<Raster> rasters;
    std::vector<Font> fonts;
    std::vector<Problem> problems;
    size_t whitespace = 0;           // white-space bytes between PCL XL tokens

    bool Ok() const { return problems.empty(); }
    std::vector<const Operator*> Find(std::string_view operatorName) const;
    size_t Count(std::string_view operatorName) const;
    const Operator* First(std::string_view operatorName) const;
    size_t PageCount() const;                        // BeginPage operators
    // Index ranges [begin, end] of ops from each BeginPage to its EndPage.
    std::vector<std::pair<size_t, size_t>> Pages() const;
    // The value of "@PJL SET key=..." in the header (key compared without regard to case).
    std::optional<std::string> PjlValue(std::string_view key) const;
    const Font* FindFont(std::string_view name) const;  // the last font of that name
};

DecodedJob DecodeJob(std::span<const uint8_t> bytes, const DecodeOptions& options = {});
DecodedJob DecodeJob(std::string_view bytes, const DecodeOptions& options = {});

// Names of the standard operators, attributes and enumerations.
std::string_view OperatorName(uint8_t tag);      // "" when not a standard operator
std::string_view AttributeName(uint16_t id);     // "" when not a standard attribute
std::string_view EnumName(uint16_t attributeId, int64_t value);  // "" when none
std::optional<uint8_t> OperatorTag(std::string_view name);
std::optional<uint16_t> AttributeId(std::string_view name);

// Readable text.
std::string FormatValue(const Value& value, uint16_t attributeId);
std::string FormatOperator(const DecodedJob& job, const Operator& op);  // one line, no line end
std::string FormatPjlLine(const PjlLine& line);
std::string FormatProblem(const Problem& problem);
std::string FormatJob(const DecodedJob& job);  // the whole job, one item a line

// UTF-16 to UTF-8, with U+FFFD for unpaired surrogates.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace tam::job
