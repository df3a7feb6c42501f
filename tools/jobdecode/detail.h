// Declarations shared between the decoder's source files.
#pragma once

#include "jobdecode.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tam::job::detail {

// Something that could not be decoded, at an offset relative to the data given.
struct Failure {
    size_t at = 0;
    std::string reason;
};

using RowSink = std::function<void(std::span<const uint8_t> row)>;

// Image and pattern rows of one block. rowLength is the length of a row as
// sent, padding included; each decoded row goes to the sink. They return
// false and fill the failure at the first byte that does not fit.
bool DecodeUncompressed(std::span<const uint8_t> data, size_t rowLength, uint32_t rows,
                        const RowSink& sink, Failure& failure);
bool DecodeRunLength(std::span<const uint8_t> data, size_t rowLength, uint32_t rows,
                     const RowSink& sink, Failure& failure);
// The seed row holds the previous row of the image and is updated in place.
bool DecodeDeltaRow(std::span<const uint8_t> data, std::vector<uint8_t>& seed, uint32_t rows,
                    bool littleEndian, const RowSink& sink, Failure& failure);

// Font header data (all ReadFontHeader blocks of one font) and character data.
// Failures carry offsets into the bytes given.
void ParseFontHeader(std::span<const uint8_t> bytes, FontHeader& header, std::vector<Failure>& failures);
void ParseGlyph(std::span<const uint8_t> data, Glyph& glyph, std::vector<Failure>& failures);

std::string Hex(uint64_t value, int digits = 2);  // "0x1B"
// Bytes as text, with quotation marks, backslashes and non-printable bytes escaped.
std::string Printable(std::string_view bytes);

}  // namespace tam::job::detail
