// The job file: written beside its place and renamed over it when whole.
#include "outputfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tamprint {

namespace fs = std::filesystem;

OutputFile::OutputFile(fs::path path) : shown_(path), path_(std::move(path)) {}

OutputFile::~OutputFile() {
    if (fd_ >= 0) close(fd_);
    if (!temporary_.empty()) {
        std::error_code ec;
        fs::remove(temporary_, ec);
    }
}

bool OutputFile::Prepare(std::string& error) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path_, ec))) {
        const fs::path target = fs::weakly_canonical(path_, ec);
        if (ec) {
            error = "cannot write the job to " + shown_.string() + ": " + ec.message();
            return false;
        }
        path_ = target;
    }
    struct stat info {};
    if (stat(path_.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            error = "cannot write the job to " + shown_.string() + ": it is a folder";
            return false;
        }
        if (!S_ISREG(info.st_mode)) {
            direct_ = true;
            return true;
        }
        mode_ = info.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode_ = 0666 & ~mask;
    }
    fs::path folder = path_.parent_path();
    if (folder.empty()) folder = ".";
    std::string pattern = (folder / ("." + path_.filename().string() + ".XXXXXX")).string();
    fd_ = mkstemp(pattern.data());
    if (fd_ < 0) {
        error = "cannot write the job to " + shown_.string() + ": " + std::strerror(errno);
        return false;
    }
    temporary_ = pattern;
    return true;
}

bool OutputFile::CommitFrom(const fs::path& source, std::string& error) {
    const int in = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        error = "cannot read the spooler's job file " + source.string() + ": " + std::strerror(errno);
        return false;
    }
    int fd = fd_;
    if (direct_) fd = open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool ok = fd >= 0 && Copy(in, fd, source, error);
    close(in);
    if (fd < 0) return Error(error);
    if (direct_) return (close(fd) == 0 && ok) || (ok && Error(error));
    if (!ok) return false;
    fchmod(fd_, mode_);
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    if (!closed || std::rename(temporary_.c_str(), path_.c_str()) != 0) return Error(error);
    temporary_.clear();
    return true;
}

std::string OutputFile::Shown() const {
    std::error_code ec;
    const fs::path absolute = fs::absolute(shown_, ec);
    return (ec ? shown_ : absolute.lexically_normal()).string();
}

bool OutputFile::Copy(int in, int out, const fs::path& source, std::string& error) const {
    std::vector<char> block(size_t(1) << 20);
    for (;;) {
        const ssize_t got = read(in, block.data(), block.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = "cannot read the spooler's job file " + source.string() + ": " + std::strerror(errno);
            return false;
        }
        if (got == 0) return true;
        size_t done = 0;
        while (done < size_t(got)) {
            const ssize_t wrote = write(out, block.data() + done, size_t(got) - done);
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) return Error(error);
            done += size_t(wrote);
        }
    }
}

bool OutputFile::Error(std::string& error) const {
    error = "cannot write the job to " + shown_.string() + ": " + std::strerror(errno ? errno : EIO);
    return false;
}

}  // namespace tamprint
