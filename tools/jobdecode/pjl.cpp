// PJL around the PCL XL streams: universal exit sequences, "@PJL" lines
// split into command, key and value, and bytes that are neither.
#include "decoder.h"

#include <algorithm>
#include <cctype>

namespace tam::job::detail {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

bool Decoder::DecodePjl() {
    while (!stopped_ && pos_ < n_) {
        if (Matches(pos_, kUel)) {
            PjlLine line;
            line.offset = pos_;
            line.section = job_.streams.size();
            line.uel = true;
            line.text = kUel;
            job_.pjl.push_back(std::move(line));
            pos_ += kUel.size();
            last_ = Last::Uel;
            continue;
        }
        if (Matches(pos_, "@PJL")) {
            const size_t after = pos_ + 4;
            if (after == n_ || in_[after] == ' ' || in_[after] == '\t' || in_[after] == '\r' || in_[after] == '\n') {
                if (DecodePjlLine()) return true;
                continue;
            }
        }
        SkipNonPjl();
    }
    return false;
}

// One "@PJL ..." line. The JOBOWNER value is raw UTF-16LE, which may hold any
// byte: it runs to the first quotation mark, at an even distance from the
// opening one, that CR LF follows. Returns true for ENTER LANGUAGE=PCLXL.
bool Decoder::DecodePjlLine() {
    const size_t start = pos_;
    PjlLine line;
    line.offset = start;
    line.section = job_.streams.size();
    last_ = Last::Line;

    constexpr std::string_view kOwner = "@PJL SET JOBOWNER=\"";
    if (Matches(start, kOwner)) {
        const size_t open = start + kOwner.size();
        for (size_t p = open; p + 3 <= n_; p += 2) {
            if (in_[p] == '"' && in_[p + 1] == '\r' && in_[p + 2] == '\n') {
                line.text.assign(reinterpret_cast<const char*>(in_.data() + start), p + 1 - start);
                line.lineEnd = "\r\n";
                line.command = "SET";
                line.key = "JOBOWNER";
                line.hasOwner = true;
                for (size_t q = open; q < p; q += 2) line.owner.push_back(char16_t(in_[q] | (in_[q + 1] << 8)));
                line.value = Utf16ToUtf8(line.owner);
                job_.pjl.push_back(std::move(line));
                pos_ = p + 3;
                return false;
            }
        }
        Report(open - 1, "the JOBOWNER value has no closing quotation mark followed by CR LF");
    }

    const void* found = std::memchr(in_.data() + start, '\n', n_ - start);
    const size_t lf = found ? static_cast<const uint8_t*>(found) - in_.data() : n_;
    size_t textEnd = lf;
    if (!found) {
        Report(n_, "the last PJL line has no line end");
    } else if (lf > start && in_[lf - 1] == '\r') {
        textEnd = lf - 1;
        line.lineEnd = "\r\n";
    } else {
        line.lineEnd = "\n";
    }
    for (size_t p = start; p < textEnd; ++p) {
        const uint8_t b = in_[p];
        if ((b < 0x20 && b != '\t') || b == 0x7F) {
            Report(p, "control byte " + Hex(b) + " in a PJL line");
            break;
        }
    }
    line.text.assign(reinterpret_cast<const char*>(in_.data() + start), textEnd - start);
    ParsePjlWords(line);
    pos_ = found ? lf + 1 : n_;

    bool enter = false;
    if (EqualNoCase(line.command, "ENTER")) {
        if (EqualNoCase(line.key, "LANGUAGE") && EqualNoCase(line.value, "PCLXL")) {
            enter = true;
        } else {
            Report(start, "ENTER " + Printable(line.key) + "=" + Printable(line.value) +
                              " does not select PCL XL");
        }
    }
    job_.pjl.push_back(std::move(line));
    return enter;
}

void Decoder::ParsePjlWords(PjlLine& line) {
    std::string_view rest = Trim(std::string_view(line.text).substr(4));
    const size_t space = rest.find_first_of(" \t");
    line.command = std::string(rest.substr(0, space));
    const std::string_view args = space == std::string_view::npos ? std::string_view() : Trim(rest.substr(space));
    if (EqualNoCase(line.command, "COMMENT") || EqualNoCase(line.command, "ECHO")) {
        line.value = std::string(args);
        return;
    }
    const size_t equals = args.find('=');
    if (equals == std::string_view::npos) {
        line.value = std::string(args);
    } else {
        line.key = std::string(Trim(args.substr(0, equals)));
        line.value = std::string(Trim(args.substr(equals + 1)));
    }
}

// Bytes outside the PCL XL stream that are neither PJL lines nor a universal
// exit: reported once, up to the next escape or the next line that begins "@PJL".
void Decoder::SkipNonPjl() {
    const size_t start = pos_;
    size_t p = pos_ + 1;
    while (p < n_ && in_[p] != kEsc && !(in_[p - 1] == '\n' && Matches(p, "@PJL"))) ++p;
    std::string reason = std::to_string(p - start) + " bytes that are neither PJL lines nor a universal exit sequence";
    if (in_[start] == kEsc) reason += " (an escape not followed by %-12345X)";
    Report(start, std::move(reason));
    pos_ = p;
    last_ = Last::Garbage;
}

}  // namespace tam::job::detail
