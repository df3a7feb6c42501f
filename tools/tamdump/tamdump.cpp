// tamdump JOBFILE: prints a print job as text (the PJL lines, the PCL XL
// stream header, one operator a line with its attributes, embedded data and
// decoded images and fonts) and lists what could not be decoded.
// Exit code: 0 the job decodes without problems, 1 it has problems, 2 usage or
// file errors.
#include "jobdecode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

int Usage(std::FILE* to, int code) {
    std::fputs("usage: tamdump JOBFILE\n"
               "Prints a PJL / PCL XL print job one item a line and reports every byte\n"
               "that does not decode. Exit code 0: no problems; 1: problems; 2: usage or file error.\n",
               to);
    return code;
}

bool ReadFile(const char* path, std::vector<uint8_t>& bytes, std::string& error) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    uint8_t buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    const bool failed = std::ferror(file) != 0;
    if (failed) error = std::strerror(errno);
    std::fclose(file);
    return !failed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "-h" || std::string_view(argv[1]) == "--help")) {
        return Usage(stdout, 0);
    }
    if (argc != 2 || argv[1][0] == '\0') return Usage(stderr, 2);

    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadFile(argv[1], bytes, error)) {
        std::fprintf(stderr, "tamdump: cannot read %s: %s\n", argv[1], error.c_str());
        return 2;
    }
    const tam::job::DecodedJob job = tam::job::DecodeJob(bytes);
    const std::string text = tam::job::FormatJob(job);
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0) return 2;
    if (!job.Ok()) {
        std::fprintf(stderr, "tamdump: %s: %zu problem(s), the first at offset %zu\n", argv[1],
                     job.problems.size(), job.problems.front().offset);
        return 1;
    }
    return 0;
}
