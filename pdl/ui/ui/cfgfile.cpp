// The settings file's reader, writer and tree operations.
#include "ui/ui/cfgfile.h"

#include <cstring>
#include <new>
#include <string>

namespace {

const char kRootName[] = "cfgobj";
const char kVersionText[] = "1.001";  // stored with its zero byte: 6 bytes
// The reader is fed the file in chunks of this size; its state carries over.
constexpr DWORD kChunkBytes = 1024;
// A header's field value, and the longest run of commas examined for one.
constexpr size_t kMaxFieldBytes = CFG_TEXT_BYTES - 1;
constexpr size_t kMaxCommaRun = 131;

void CopyText(char (&field)[CFG_TEXT_BYTES], const std::string& text) {
    size_t n = text.size() < CFG_TEXT_BYTES - 1 ? text.size() : CFG_TEXT_BYTES - 1;
    std::memcpy(field, text.data(), n);
    field[n] = 0;
}

std::string TextOf(const char (&field)[CFG_TEXT_BYTES]) { return std::string(field, strnlen(field, CFG_TEXT_BYTES)); }

// A decimal count as the writer writes it: an optional minus sign and 1 to
// 10 digits that fit 32 bits. Anything else makes the header unreadable.
bool ParseCount(const std::string& text, INT32& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size() || text.size() - i > 10) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<INT32>(v);
    return true;
}

struct HeaderFields {
    std::string name, type;
    INT32 len = 0, childobjs = 0;
};

// Parses a header as collected: without its "<", with "," in place of its
// closing ">". The name runs from the first ":" to the first "," followed by
// "type"; each further field (type, len, childobjs, in that order) runs from
// the next ":" to the next ",". A value that would be empty because it begins
// with a run of commas is that run less its last comma.
bool ParseHeader(const std::string& text, HeaderFields& fields) {
    if (text.compare(0, 6, "object") != 0) return false;
    size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    size_t nameEnd = text.find(",type", colon + 1);
    if (nameEnd == std::string::npos) return false;
    fields.name = text.substr(colon + 1, nameEnd - colon - 1);
    if (fields.name.size() > kMaxFieldBytes) return false;

    std::string values[3];
    size_t pos = nameEnd + 1;
    for (std::string& value : values) {
        colon = text.find(':', pos);
        if (colon == std::string::npos) return false;
        size_t start = colon + 1;
        if (start < text.size() && text[start] == ',') {
            size_t run = 0;
            while (start + run < text.size() && text[start + run] == ',' && run < kMaxCommaRun) ++run;
            value.assign(run - 1, ',');
            pos = start + run;
        } else {
            size_t comma = text.find(',', start);
            if (comma == std::string::npos) return false;
            value = text.substr(start, comma - start);
            pos = comma + 1;
        }
        if (value.size() > kMaxFieldBytes) return false;
    }
    fields.type = values[0];
    return ParseCount(values[1], fields.len) && ParseCount(values[2], fields.childobjs) && fields.len >= 0 &&
           fields.childobjs >= 0;
}

// The reader's state machine, fed the file chunk by chunk.
class CfgReader {
public:
    explicit CfgReader(LONGLONG fileSize) : fileSize_(fileSize) {}

    // False once the file shows damage; the reader then takes nothing more.
    bool Feed(const BYTE* bytes, DWORD count) {
        for (DWORD i = 0; i < count && !damaged_;) {
            if (state_ == State::Data) {
                DWORD take = count - i;
                INT32 missing = filling_->len - filled_;
                if (take > static_cast<DWORD>(missing)) take = static_cast<DWORD>(missing);
                std::memcpy(filling_->data.data() + filled_, bytes + i, take);
                filled_ += static_cast<INT32>(take);
                consumed_ += take;
                i += take;
                if (filled_ == filling_->len) state_ = State::Between;
                continue;
            }
            Take(static_cast<char>(bytes[i]));
            ++consumed_;
            ++i;
        }
        return !damaged_;
    }

    // True when the file ended between objects with its root closed.
    bool Finish() const { return !damaged_ && state_ == State::Between && root_ && !current_; }

    bool Damaged() const { return damaged_; }
    std::unique_ptr<CfgObject> TakeRoot() { return std::move(root_); }

private:
    enum class State { Between, Header, Data };

    void Take(char byte) {
        if (state_ == State::Between) {
            if (byte == '<') {
                header_.assign(1, '<');
                state_ = State::Header;
            }
            return;
        }
        // In a header: a ">" ends it once the text names "childobjs" or
        // "endobj"; any other ">" belongs to the text (names may hold one).
        if (header_.size() >= CFG_MAX_HEADER) {
            damaged_ = true;
            return;
        }
        if (byte == '>' && (header_.find("childobjs") != std::string::npos ||
                            header_.find("endobj") != std::string::npos)) {
            EndHeader(header_.substr(1) + ",");
            return;
        }
        header_.push_back(byte);
    }

    void EndHeader(const std::string& text) {
        state_ = State::Between;
        if (text.compare(0, 6, "endobj") == 0) {
            if (current_) {
                current_ = current_->parent;
                --depth_;
            }
            return;
        }
        HeaderFields fields;
        // An unreadable header, a second root, nesting deeper than any
        // settings file has, or data longer than what is left of the file.
        if (!ParseHeader(text, fields) || (root_ && !current_) || depth_ >= CFG_MAX_DEPTH ||
            fields.len > fileSize_ - consumed_ - 1) {
            damaged_ = true;
            return;
        }
        auto object = std::make_unique<CfgObject>();
        CopyText(object->name, fields.name);
        CopyText(object->type, fields.type);
        object->len = fields.len;
        if (fields.len > 0) object->data.assign(static_cast<size_t>(fields.len) + 32, 0);
        CfgObject* added = object.get();
        if (!root_) {
            root_ = std::move(object);
        } else {
            // The count comes from the children present, not from the header.
            added->parent = current_;
            current_->children.push_back(std::move(object));
            current_->childobjs = static_cast<INT32>(current_->children.size());
        }
        current_ = added;
        ++depth_;
        if (fields.len > 0) {
            filling_ = added;
            filled_ = 0;
            state_ = State::Data;
        }
    }

    LONGLONG fileSize_;
    LONGLONG consumed_ = 0;  // bytes taken so far
    State state_ = State::Between;
    std::string header_;
    std::unique_ptr<CfgObject> root_;
    CfgObject* current_ = nullptr;
    int depth_ = 0;
    CfgObject* filling_ = nullptr;
    INT32 filled_ = 0;
    bool damaged_ = false;
};

// Appends one object, its child count taken from the children present. The
// data, when there is any, follows the header; the children follow the data.
// (The stores never give data to an object with children; a file that does is
// still written so that it reads back as it was.)
bool WriteObject(std::string& out, const CfgObject& object) {
    INT32 count = static_cast<INT32>(object.children.size());
    INT32 len = object.len;
    if (len > 0 && object.data.size() < static_cast<size_t>(len)) return false;
    std::string header = "<object:" + TextOf(object.name) + ",type:" + TextOf(object.type) +
                         ",len:" + std::to_string(len) + ",childobjs:" + std::to_string(count) + ">";
    if (header.size() > CFG_MAX_HEADER) return false;
    out += header;
    if (len < 1) out += '\n';
    if (len > 0) out.append(reinterpret_cast<const char*>(object.data.data()), static_cast<size_t>(len));
    for (const auto& child : object.children)
        if (!WriteObject(out, *child)) return false;
    out += "<endobj>\n";
    return true;
}

// Writes `bytes` to a new temporary file in the folder of `path`, then renames
// it over `path`. On failure the temporary file is removed and `path` is as it
// was; the last error tells why.
BOOL WriteFileAtomically(LPCWSTR path, const std::string& bytes) {
    std::u16string folder(path);
    size_t slash = folder.find_last_of(u"\\/");
    folder = slash == std::u16string::npos ? u"." : folder.substr(0, slash == 2 && folder[1] == u':' ? 3 : slash);
    WCHAR temp[MAX_PATH];
    if (!GetTempFileNameW(folder.c_str(), u"cfg", 0, temp)) return FALSE;
    HANDLE handle = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD error = ERROR_SUCCESS;
    if (handle == INVALID_HANDLE_VALUE) {
        error = GetLastError();
    } else {
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
            error = GetLastError();
        else if (written != bytes.size())
            error = ERROR_WRITE_FAULT;
        else if (!FlushFileBuffers(handle))
            error = GetLastError();
        if (!CloseHandle(handle) && error == ERROR_SUCCESS) error = GetLastError();
    }
    if (error == ERROR_SUCCESS && !MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error == ERROR_SUCCESS) return TRUE;
    DeleteFileW(temp);
    SetLastError(error);
    return FALSE;
}

CfgFile* LoadExisting(LPCWSTR path, HANDLE handle) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size)) return nullptr;
    CfgReader reader(size.QuadPart);
    BYTE chunk[kChunkBytes];
    LONGLONG total = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(handle, chunk, kChunkBytes, &got, nullptr)) return nullptr;
        if (got == 0) break;
        total += got;
        if (!reader.Feed(chunk, got)) break;
    }
    if (!reader.Finish()) {
        // A file that ended before its size was read failed to read; one read
        // whole that does not hold a tree is damaged.
        SetLastError(total < size.QuadPart && !reader.Damaged() ? ERROR_READ_FAULT : ERROR_INVALID_DATA);
        return nullptr;
    }
    auto file = std::make_unique<CfgFile>();
    lstrcpynW(file->path, path, MAX_PATH);
    file->root = reader.TakeRoot();
    return file.release();
}

bool ToUtf8Name(LPCWSTR name, char (&out)[CFG_TEXT_BYTES]) {
    if (!name) return false;
    return WideCharToMultiByte(CP_UTF8, 0, name, -1, out, CFG_TEXT_BYTES, nullptr, nullptr) > 0;
}

CfgObject* FindPreOrder(CfgObject* object, const char* name) {
    if (std::strcmp(object->name, name) == 0) return object;
    for (auto& child : object->children)
        if (CfgObject* found = FindPreOrder(child.get(), name)) return found;
    return nullptr;
}

// The object named `name` among the children of `object`, then inside each
// child that has children, in order.
CfgObject* FindBelow(CfgObject* object, const char* name, bool direct) {
    if (object->childobjs <= 0) return nullptr;
    for (auto& child : object->children)
        if (std::strcmp(child->name, name) == 0) return child.get();
    if (direct) return nullptr;
    for (auto& child : object->children)
        if (CfgObject* found = FindBelow(child.get(), name, false)) return found;
    return nullptr;
}

}  // namespace

CfgFile* CfgFile_Load(LPCWSTR path) {
    if (!path || !path[0] || lstrlenW(path) >= MAX_PATH) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Readers let a concurrent save rename its new file over this one.
    auto open = [path] {
        return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE handle = open();
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
        if (!CfgFile_CreateDefault(path)) return nullptr;
        handle = open();
    }
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    CfgFile* file = nullptr;
    DWORD error = ERROR_SUCCESS;
    try {
        file = LoadExisting(path, handle);
        if (!file) error = GetLastError();
    } catch (const std::bad_alloc&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
    }
    CloseHandle(handle);
    if (!file) SetLastError(error);
    return file;
}

BOOL CfgFile_Save(const CfgFile* file) {
    if (!file || !file->root || !file->path[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    try {
        std::string bytes;
        if (!WriteObject(bytes, *file->root)) {
            SetLastError(ERROR_INVALID_DATA);
            return FALSE;
        }
        return WriteFileAtomically(file->path, bytes);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}

BOOL CfgFile_CreateDefault(LPCWSTR path) {
    if (!path || !path[0] || lstrlenW(path) >= MAX_PATH) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    try {
        CfgFile file;
        lstrcpynW(file.path, path, MAX_PATH);
        file.root = std::make_unique<CfgObject>();
        CopyText(file.root->name, kRootName);
        CopyText(file.root->type, "null");
        if (!CfgObject_AddChild(file.root.get(), u"version", "string", kVersionText, sizeof(kVersionText)))
            return FALSE;
        return CfgFile_Save(&file);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}

void CfgFile_Free(CfgFile* file) { delete file; }

CfgObject* CfgObject_AddChild(CfgObject* parent, LPCWSTR name, LPCSTR type, const void* data, INT32 len) {
    if (!parent || len < 0 || (len > 0 && !data)) return nullptr;
    auto child = std::make_unique<CfgObject>();
    if (!ToUtf8Name(name, child->name)) return nullptr;
    CopyText(child->type, type ? type : "");
    child->len = len;
    if (len > 0) {
        child->data.assign(static_cast<size_t>(len) + 32, 0);
        std::memcpy(child->data.data(), data, static_cast<size_t>(len));
    }
    child->parent = parent;
    parent->children.push_back(std::move(child));
    parent->childobjs = static_cast<INT32>(parent->children.size());
    return parent->children.back().get();
}

CfgObject* CfgObject_FindChild(CfgObject* object, LPCWSTR name, BOOL direct) {
    char utf8[CFG_TEXT_BYTES];
    if (!object || !ToUtf8Name(name, utf8)) return nullptr;
    return direct ? FindBelow(object, utf8, true) : FindPreOrder(object, utf8);
}

BOOL CfgObject_RemoveChild(CfgObject* object, LPCWSTR name, BOOL direct) {
    char utf8[CFG_TEXT_BYTES];
    if (!object || !ToUtf8Name(name, utf8)) return FALSE;
    CfgObject* found = FindBelow(object, utf8, direct);
    if (!found) return FALSE;
    CfgObject* parent = found->parent;
    for (auto it = parent->children.begin(); it != parent->children.end(); ++it) {
        if (it->get() == found) {
            parent->children.erase(it);
            break;
        }
    }
    parent->childobjs = static_cast<INT32>(parent->children.size());
    return TRUE;
}

INT32 CfgObject_ListChildNames(const CfgObject* object, WCHAR (*names)[CFG_NAME_CHARS], INT32 count) {
    if (!object || !names || count <= 0) return 0;
    INT32 written = 0;
    for (const auto& child : object->children) {
        if (written >= count) break;
        if (MultiByteToWideChar(CP_UTF8, 0, child->name, -1, names[written], CFG_NAME_CHARS) <= 0)
            names[written][0] = 0;
        ++written;
    }
    return written;
}
