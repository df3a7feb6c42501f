// Reading the print tool's document descriptions.
#include "document.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

namespace tamprint {
namespace {

using Json = nlohmann::json;

// nlohmann's messages start with "[json.exception.parse_error.101] "; the
// user needs only what follows.
std::string WithoutExceptionTag(const char* what) {
    std::string text = what;
    if (!text.empty() && text.front() == '[') {
        const size_t end = text.find("] ");
        if (end != std::string::npos) text.erase(0, end + 2);
    }
    return text;
}

class Reader {
public:
    Reader(const std::string& name, std::string& error) : name_(name), error_(error) {}

    bool Read(const Json& root, Document& document) {
        if (!root.is_object()) return Fail("", "a document is a JSON object with \"pages\"");
        bool hasPages = false;
        for (const auto& [key, value] : root.items()) {
            if (key == "title") {
                if (!value.is_string()) return Fail("title", "expected a string");
                document.title = value.get<std::string>();
                document.titled = true;
            } else if (key == "pages") {
                hasPages = true;
                if (!ReadPages(value, document.pages)) return false;
            } else {
                return Fail("", "unknown key \"" + key + "\" (a document takes \"title\" and \"pages\")");
            }
        }
        if (!hasPages) return Fail("", "\"pages\" is missing");
        return true;
    }

private:
    bool ReadPages(const Json& value, std::vector<PageSpec>& pages) {
        if (value.is_number_unsigned()) {
            const unsigned long long count = value.get<unsigned long long>();
            if (count < 1 || count > (unsigned long long)kMaxPages) return Fail("pages", CountRange(std::to_string(count)));
            pages.assign(size_t(count), PageSpec{});
            return true;
        }
        if (value.is_number_integer()) {  // a negative count
            return Fail("pages", CountRange(std::to_string(value.get<long long>())));
        }
        if (!value.is_array()) return Fail("pages", "expected a list of pages or a page count");
        if (value.empty() || value.size() > size_t(kMaxPages)) return Fail("pages", CountRange(std::to_string(value.size())));
        for (size_t i = 0; i < value.size(); ++i) {
            PageSpec page;
            if (!ReadPage(value[i], "pages[" + std::to_string(i) + "]", page)) return false;
            pages.push_back(std::move(page));
        }
        return true;
    }

    bool ReadPage(const Json& value, const std::string& where, PageSpec& page) {
        if (!value.is_object()) return Fail(where, "a page is a JSON object ({} for a plain page)");
        for (const auto& [key, item] : value.items()) {
            if (key == "orientation") {
                const std::string text = item.is_string() ? item.get<std::string>() : std::string();
                if (text == "portrait")
                    page.orientation = DMORIENT_PORTRAIT;
                else if (text == "landscape")
                    page.orientation = DMORIENT_LANDSCAPE;
                else
                    return Fail(where + ".orientation", "expected \"portrait\" or \"landscape\"");
            } else {
                return Fail(where, "unknown key \"" + key + "\" (a page takes \"orientation\")");
            }
        }
        return true;
    }

    static std::string CountRange(const std::string& count) {
        return "a document has 1 to " + std::to_string(kMaxPages) + " pages, not " + count;
    }

    bool Fail(const std::string& where, const std::string& message) {
        error_ = name_ + ": " + (where.empty() ? "" : where + ": ") + message;
        return false;
    }

    const std::string& name_;
    std::string& error_;
};

}  // namespace

Document SampleDocument(int pages) {
    Document document;
    document.title = "Korvan sample";
    document.titled = true;
    document.pages.assign(size_t(pages), PageSpec{});
    document.source = "built-in sample";
    return document;
}

bool ParseDocument(std::string_view text, const std::string& name, Document& document, std::string& error) {
    document = Document{};
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        error = name + ": the document is empty";
        return false;
    }
    // A key given twice in one object is refused, as an unknown key is: the
    // parser would keep only the last one without a word.
    struct DuplicateKey {
        std::string key;
    };
    std::vector<std::set<std::string>> objects;
    const Json::parser_callback_t refuseDuplicates = [&](int, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::object_start) {
            objects.emplace_back();
        } else if (event == Json::parse_event_t::object_end) {
            if (!objects.empty()) objects.pop_back();
        } else if (event == Json::parse_event_t::key && !objects.empty()) {
            const std::string key = parsed.get<std::string>();
            if (!objects.back().insert(key).second) throw DuplicateKey{key};
        }
        return true;
    };
    Json root;
    try {
        root = Json::parse(text.begin(), text.end(), refuseDuplicates, true, true);
    } catch (const Json::exception& e) {
        error = name + ": " + WithoutExceptionTag(e.what());
        return false;
    } catch (const DuplicateKey& duplicate) {
        error = name + ": the key \"" + duplicate.key + "\" is given twice in one object";
        return false;
    }
    try {
        if (!Reader(name, error).Read(root, document)) return false;
    } catch (const Json::exception& e) {
        error = name + ": " + WithoutExceptionTag(e.what());
        return false;
    }
    document.source = name;
    return true;
}

bool LoadDocument(const std::string& path, Document& document, std::string& error) {
    std::string text;
    if (path == "-") {
        struct stat info {};
        if (fstat(STDIN_FILENO, &info) != 0 || S_ISDIR(info.st_mode)) {
            error = std::string("cannot read the document from standard input: ") +
                    (S_ISDIR(info.st_mode) ? "it is a folder" : std::strerror(errno));
            return false;
        }
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        if (std::cin.bad()) {
            error = "cannot read the document from standard input";
            return false;
        }
    } else {
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            error = "cannot read " + path + ": it is a folder";
            return false;
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) {
            error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
    }
    const std::string name = path == "-" ? "standard input" : path;
    if (!ParseDocument(text, name, document, error)) return false;
    if (!document.titled && path != "-") document.title = std::filesystem::path(path).filename().string();
    return true;
}

}  // namespace tamprint
