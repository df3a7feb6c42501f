// Each decoded operator checked in its context: its embedded data, the
// block it belongs to, the session, page and graphics state it changes, and
// the text and path data it carries.
#include "decoder.h"

namespace tam::job::detail {
namespace {

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

}  // namespace

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

// Text and paths: the spacing of a text matches its characters; the points
// of a path are read from its data by their PointType.

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

}  // namespace tam::job::detail
