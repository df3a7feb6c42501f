// A PCL XL stream: its header line, then the binary tokens (values,
// attribute identifiers, operators and embedded data), gathered into operators.
#include "decoder.h"

#include <algorithm>
#include <bit>

namespace tam::job::detail {
namespace {

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

}  // namespace

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

}  // namespace tam::job::detail
