// The job file the user asked for. The job is written into a temporary file
// beside it and renamed over it only when the whole job is there, so that a
// failure leaves no job file behind (nor a half-written one). A symbolic
// link is followed, so the file it points at gets the job; an existing file
// keeps its permissions. A path that is no regular file (a device such as
// /dev/stdout, a pipe) is written directly.
#pragma once
#include <sys/types.h>

#include <filesystem>
#include <string>

namespace tamprint {

class OutputFile {
public:
    explicit OutputFile(std::filesystem::path path);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Makes sure the job can be written, before anything is printed.
    bool Prepare(std::string& error);

    // Copies the job from `source` in blocks, then puts the file in place.
    bool CommitFrom(const std::filesystem::path& source, std::string& error);

    // The path to show: absolute, so that the user finds it.
    std::string Shown() const;

private:
    bool Copy(int in, int out, const std::filesystem::path& source, std::string& error) const;
    bool Error(std::string& error) const;

    std::filesystem::path shown_;  // as the user gave it
    std::filesystem::path path_;   // the file written: the link's target for a link
    std::filesystem::path temporary_;
    int fd_ = -1;
    mode_t mode_ = 0644;
    bool direct_ = false;
};

}  // namespace tamprint
