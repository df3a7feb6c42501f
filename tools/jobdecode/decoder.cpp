// The job decoder: one pass over the job, its PJL sections and its PCL XL
// streams, collecting what it decodes and reporting each problem at its offset.
#include "decoder.h"

namespace tam::job::detail {

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

}  // namespace tam::job::detail

namespace tam::job {

DecodedJob DecodeJob(std::span<const uint8_t> bytes, const DecodeOptions& options) {
    return detail::Decoder(bytes, options).Run();
}

DecodedJob DecodeJob(std::string_view bytes, const DecodeOptions& options) {
    return DecodeJob(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), options);
}

}  // namespace tam::job
