// The sheets of a job, from its pages' sides and copies.
#include "sheetcounter.h"

#include <cstdlib>
#include <optional>
#include <string_view>

namespace tamprint {

void SheetCounter::Add(const tam::job::Operator& op) {
    if (op.name == "BeginPage") {
        const tam::job::Attribute* side = op.Find("DuplexPageSide");
        const std::string_view sideName = side ? tam::job::EnumName(side->id, side->value.Int()) : "";
        const bool back = sideName == "eBackMediaSide" || (!side && backPending_);
        backPending_ = sideName == "eFrontMediaSide";
        frontOpen_ = !back;
    } else if (op.name == "EndPage" && frontOpen_) {
        frontOpen_ = false;
        const std::optional<int64_t> copies = op.Int("PageCopies");
        if (copies && *copies > 0)
            sheets_ += size_t(*copies);
        else
            ++withoutCopies_;
    }
}

size_t SheetCounter::Sheets(const tam::job::DecodedJob& job) const {
    size_t jobCopies = 1;
    if (const auto text = job.PjlValue("COPIES")) {
        char* end = nullptr;
        const long value = std::strtol(text->c_str(), &end, 10);
        if (end != text->c_str() && value > 0) jobCopies = size_t(value);
    }
    return sheets_ + withoutCopies_ * jobCopies;
}

}  // namespace tamprint
