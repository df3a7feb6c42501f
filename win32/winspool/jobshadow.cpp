#include "winspool/jobshadow.h"

#include <cstring>
#include <string>

namespace w32::spool {

namespace {

constexpr BYTE kMagic[4] = {'J', 'O', 'B', 0x1A};
constexpr DWORD kFieldCount = 8;

void PutField(std::vector<BYTE>& out, const void* data, size_t size) {
    DWORD count = DWORD(size);
    const BYTE* c = reinterpret_cast<const BYTE*>(&count);
    out.insert(out.end(), c, c + sizeof(count));
    const BYTE* d = static_cast<const BYTE*>(data);
    if (size) out.insert(out.end(), d, d + size);
}

void PutText(std::vector<BYTE>& out, const std::u16string& text) {
    PutField(out, text.data(), text.size() * sizeof(char16_t));
}

class FieldReader {
public:
    FieldReader(const std::vector<BYTE>& bytes, size_t at) : bytes_(bytes), at_(at) {}

    bool Next(const BYTE*& data, size_t& size) {
        DWORD count = 0;
        if (bytes_.size() - at_ < sizeof(count)) return false;
        std::memcpy(&count, bytes_.data() + at_, sizeof(count));
        at_ += sizeof(count);
        if (bytes_.size() - at_ < count) return false;
        data = bytes_.data() + at_;
        size = count;
        at_ += count;
        return true;
    }
    bool Text(std::u16string& text) {
        const BYTE* data = nullptr;
        size_t size = 0;
        if (!Next(data, size) || size % sizeof(char16_t)) return false;
        text.assign(size / sizeof(char16_t), u'\0');
        if (size) std::memcpy(text.data(), data, size);
        return true;
    }
    bool Bytes(std::vector<BYTE>& out) {
        const BYTE* data = nullptr;
        size_t size = 0;
        if (!Next(data, size)) return false;
        out.assign(data, data + size);
        return true;
    }

private:
    const std::vector<BYTE>& bytes_;
    size_t at_;
};

}  // namespace

std::vector<BYTE> EncodeJobShadow(const JobInfo& job) {
    JobShadowHeader header{};
    std::memcpy(header.magic, kMagic, sizeof(kMagic));
    header.version = kShadowVersion;
    header.jobId = job.id;
    header.state = DWORD(job.state);
    header.size = job.size;
    header.pages = job.pages;
    header.flags = job.toOutputFile ? kShadowToOutputFile : 0;
    header.submitted = job.submitted;
    header.fieldCount = kFieldCount;
    std::vector<BYTE> out(sizeof(header));
    std::memcpy(out.data(), &header, sizeof(header));
    for (const std::u16string* text : {&job.printer, &job.document, &job.user, &job.datatype, &job.file, &job.driver,
                                       &job.printProcessor})
        PutText(out, *text);
    PutField(out, job.devMode.data(), job.devMode.size());
    return out;
}

bool DecodeJobShadow(const std::vector<BYTE>& bytes, JobInfo& job) {
    JobShadowHeader header;
    if (bytes.size() < sizeof(header)) return false;
    std::memcpy(&header, bytes.data(), sizeof(header));
    if (std::memcmp(header.magic, kMagic, sizeof(kMagic)) != 0 || header.version != kShadowVersion ||
        header.fieldCount < kFieldCount || header.jobId == 0 || header.state > DWORD(JobState::Error))
        return false;
    JobInfo decoded;
    decoded.id = header.jobId;
    decoded.state = JobState(header.state);
    decoded.size = header.size;
    decoded.pages = header.pages;
    decoded.toOutputFile = header.flags & kShadowToOutputFile;
    decoded.submitted = header.submitted;
    FieldReader reader(bytes, sizeof(header));
    for (std::u16string* text : {&decoded.printer, &decoded.document, &decoded.user, &decoded.datatype, &decoded.file,
                                 &decoded.driver, &decoded.printProcessor})
        if (!reader.Text(*text)) return false;
    if (!reader.Bytes(decoded.devMode)) return false;
    job = std::move(decoded);
    return true;
}

}  // namespace w32::spool
