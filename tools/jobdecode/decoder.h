// The decoder's state and steps, shared by its source files: the run over
// the job (decoder.cpp), PJL (pjl.cpp), the PCL XL stream and its tokens
// (tokens.cpp), the operators and their blocks (operators.cpp), images and
// raster patterns (images.cpp) and font downloads (fontdownloads.cpp; the font
// data they carry is parsed in fontdata.cpp).
#pragma once

#include "detail.h"
#include "tables.h"

#include <cstring>
#include <map>
#include <optional>

namespace tam::job::detail {

// The universal exit sequence that opens a job and ends each PCL XL stream.
inline constexpr std::string_view kUel = "\x1B%-12345X";
inline constexpr uint8_t kEsc = 0x1B;

// The begin ... end blocks of the stream, inside which only the operators of
// the block may appear.
enum class Block { None, Image, Pattern, FontHeader, Char, Scan, Stream };

// One pass over the bytes of a job. The steps read at pos_ and report what
// does not fit; Run returns the decoded job with its problems.
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

    // PJL (pjl.cpp)
    bool DecodePjl();
    bool DecodePjlLine();
    void SkipNonPjl();
    static void ParsePjlWords(PjlLine& line);

    // The PCL XL stream header and tokens (tokens.cpp)
    void DecodeStream();
    void DecodeTokens();
    void ReadValue();
    void ReadAttributeId();
    void ReadEmbeddedData();
    void BeginOperator(uint8_t tag, const OperatorInfo& info);
    void FinishOperator();
    void SkipUnknown();

    // Operators, their blocks, text and paths (operators.cpp)
    void Process(size_t index);
    const Value* Get(const Operator& op, uint16_t id) const;
    bool Need(const Operator& op, uint16_t id, int64_t& out);
    void ResetSession();
    void CloseBlock();
    void CheckText(const Operator& op);
    void DecodePoints(Operator& op);

    // Images and raster patterns (images.cpp)
    void StartRaster(size_t index, bool pattern);
    void ReadRaster(size_t index);
    void EndRaster(size_t index);
    void KeepRow(Raster& r, std::span<const uint8_t> row);
    void DropRows(Raster& r);

    // Font downloads (fontdownloads.cpp)
    void BeginFontHeader(size_t index);
    void ReadFontHeader(size_t index);
    void EndFontHeader(size_t index);
    void BeginChar(size_t index);
    void ReadChar(size_t index);
    void RemoveFont(size_t index);
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

}  // namespace tam::job::detail
