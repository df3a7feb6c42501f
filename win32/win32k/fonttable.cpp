#include "win32k/fonttable.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <system_error>

#include "machine/debuglog.h"
#include "machine/fonts.h"
#include "machine/machine.h"
#include "machine/paths.h"
#include "machine/registry.h"
#include "machine/unicode.h"

namespace w32 {

namespace {

std::atomic<uint64_t> gGeneration{1};  // counts the changes of the current machine
std::atomic<uint64_t> gFontChanges{0};  // counts the fonts added and removed

// Tells the table that the machine whose registry it read has gone.
class FontTableComponent final : public MachineComponent {
public:
    int Rank() const override { return 40; }
    void Create(Machine&) override { ++gGeneration; }
    void Open(Machine&) override { ++gGeneration; }
    void Close(Machine&) override { ++gGeneration; }
};

FontTableComponent gComponent;
[[maybe_unused]] const bool gRegistered = (RegisterMachineComponent(&gComponent), true);

// One installed font file.
struct Source {
    std::filesystem::path host;  // where the file was found: the file's identity
    DWORD flags = 0;             // FR_PRIVATE and FR_NOT_ENUM as it was added with
    int references = 1;
    std::shared_ptr<const FontFile> file;
};

struct Table {
    uint64_t generation = 0;      // of the machine it was read for; 0 before the first reading
    std::vector<Source> sources;  // in the order installed
};

std::mutex gLock;
Table gTable;  // under gLock
// The standard fonts' host files, read once a process since every machine
// shows the same ones. Under gLock.
std::map<std::filesystem::path, std::shared_ptr<const FontFile>> gStandardFiles;

bool IsStandardHostFile(const std::filesystem::path& real) {
    static const std::vector<std::filesystem::path> standard = [] {
        std::vector<std::filesystem::path> paths;
        for (const StandardFont& font : StandardFonts()) {
            std::error_code ec;
            std::filesystem::path path = std::filesystem::canonical(font.hostPath, ec);
            if (!ec) paths.push_back(std::move(path));
        }
        return paths;
    }();
    return std::find(standard.begin(), standard.end(), real) != standard.end();
}

std::shared_ptr<const FontFile> OpenFontFile(const std::filesystem::path& host, DWORD* error) {
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(host, ec);
    if (ec) {
        *error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    if (!IsStandardHostFile(real)) return FontFile::Open(host, error);
    auto& kept = gStandardFiles[real];
    if (!kept) kept = FontFile::Open(real, error);
    return kept;
}

// The standard font a path of the font folder names, on a machine without a drive.
const StandardFont* StandardFontAt(std::u16string_view windowsPath) {
    const size_t slash = windowsPath.rfind(u'\\');
    if (slash == std::u16string_view::npos || !NamesEqual(windowsPath.substr(0, slash), kFontsFolder)) return nullptr;
    return FindStandardFont(windowsPath.substr(slash + 1));
}

// The host files a font path may name, in the order they are tried: a bare
// name in the current directory (when asked) and then in the font folder,
// another path as given.
std::vector<std::filesystem::path> Candidates(std::u16string_view name, bool searchCurrentDirectory) {
    std::vector<std::filesystem::path> hosts;
    if (name.empty() || ClassifyPath(name) != PathKind::File) return hosts;
    Machine& machine = Machine::Current();
    std::vector<std::u16string> paths;
    if (name.find_first_of(u"\\/:") == std::u16string_view::npos) {
        if (searchCurrentDirectory) paths.push_back(NormalizeWindowsPath(name, machine.WorkingDirectory()));
        paths.push_back(NormalizeWindowsPath(std::u16string(kFontsFolder) + u"\\" + std::u16string(name), u""));
    } else {
        paths.push_back(NormalizeWindowsPath(name, machine.WorkingDirectory()));
    }
    for (const std::u16string& path : paths) {
        if (machine.HasDrive()) {
            ResolvedPath resolved = ResolveOnDrive(machine.DriveRoot(), path);
            if (!resolved.error) hosts.push_back(std::move(resolved.host));
        } else if (const StandardFont* font = StandardFontAt(path)) {
            hosts.push_back(font->hostPath);
        }
    }
    return hosts;
}

// Installs a file (one more reference when it is installed with these
// flags already). The number of its faces, or 0 with `*error`.
int Install(Table& table, const std::filesystem::path& host, DWORD flags, DWORD* error) {
    std::shared_ptr<const FontFile> file;
    for (Source& source : table.sources) {
        if (source.host != host) continue;
        if (source.flags == flags) {
            ++source.references;
            return int(source.file->Faces().size());
        }
        file = source.file;
    }
    if (!file) file = OpenFontFile(host, error);
    if (!file) return 0;
    table.sources.push_back(Source{host, flags, 1, file});
    return int(file->Faces().size());
}

// Finds and installs a file: the first candidate that exists.
int InstallByName(Table& table, std::u16string_view name, bool searchCurrentDirectory, DWORD flags, DWORD* error) {
    for (const auto& host : Candidates(name, searchCurrentDirectory)) {
        std::error_code ec;
        if (std::filesystem::exists(host, ec)) return Install(table, host, flags, error);
    }
    *error = ERROR_FILE_NOT_FOUND;
    return 0;
}

std::u16string RegistryText(const RegistryValue& value) {
    std::u16string text(value.data.size() / 2, u'\0');
    if (!text.empty()) std::memcpy(text.data(), value.data.data(), text.size() * 2);
    return text.substr(0, text.find(u'\0'));
}

// The fonts the machine's registry lists.
void ReadMachineFonts(Table& table) {
    std::shared_ptr<Registry> registry = Registry::Current();
    if (!registry || !registry->IsLoaded()) return;
    std::vector<std::u16string> files;
    {
        std::lock_guard lock(registry->Mutex());
        if (RegistryKeyPtr key = registry->Find(registry->LocalMachine(), kFontsKey)) {
            for (size_t i = 0; i < key->ValueCount(); ++i) {
                const RegistryValue* value = key->ValueAt(i);
                if (value && value->type == REG_SZ) files.push_back(RegistryText(*value));
            }
        }
    }
    for (const std::u16string& file : files) {
        DWORD error = ERROR_SUCCESS;
        if (InstallByName(table, file, false, 0, &error) > 0) continue;
        DebugLogAppend("Fonts: " + ToUtf8(file) + " is not installed: " +
                       (error == ERROR_FILE_NOT_FOUND ? "there is no such file" : "it is no font that can be read") +
                       "\n");
    }
}

// The table for the current machine, read from its registry once the machine
// has changed. Call with gLock held, after Machine::Current().
Table& CurrentTable() {
    const uint64_t generation = gGeneration.load();
    if (gTable.generation != generation) {
        gTable = Table{};
        gTable.generation = generation;
        ReadMachineFonts(gTable);
    }
    return gTable;
}

// The families of the table, or the one named `only`.
std::vector<InstalledFamily> Families(const Table& table, bool enumerableOnly, std::u16string_view only) {
    std::vector<InstalledFamily> families;
    for (const Source& source : table.sources) {
        const bool enumerable = !(source.flags & FR_NOT_ENUM);
        for (ULONG index = 0; index < source.file->Faces().size(); ++index) {
            const std::u16string& name = source.file->Faces()[index].family;
            if (!only.empty() && !NamesEqual(name, only)) continue;
            auto family = std::find_if(families.begin(), families.end(),
                                       [&](const InstalledFamily& f) { return NamesEqual(f.name, name); });
            if (family == families.end()) family = families.insert(families.end(), InstalledFamily{name, {}});
            auto face = std::find_if(family->faces.begin(), family->faces.end(), [&](const InstalledFace& f) {
                return f.file == source.file && f.face == index;
            });
            if (face == family->faces.end()) {
                family->faces.push_back(InstalledFace{source.file, index, enumerable});
            } else {
                face->enumerable = face->enumerable || enumerable;
            }
        }
    }
    if (enumerableOnly) {
        for (InstalledFamily& family : families)
            std::erase_if(family.faces, [](const InstalledFace& face) { return !face.enumerable; });
        std::erase_if(families, [](const InstalledFamily& family) { return family.faces.empty(); });
    }
    return families;
}

}  // namespace

uint64_t FontMachineGeneration() {
    Machine::Current();
    return gGeneration.load() + gFontChanges.load();
}

std::vector<InstalledFamily> EnumerateInstalledFamilies() {
    Machine::Current();
    std::lock_guard lock(gLock);
    return Families(CurrentTable(), true, {});
}

std::optional<InstalledFamily> FindInstalledFamily(std::u16string_view name) {
    if (name.empty()) return std::nullopt;
    Machine::Current();
    std::lock_guard lock(gLock);
    std::vector<InstalledFamily> found = Families(CurrentTable(), false, name);
    if (found.empty()) return std::nullopt;
    return std::move(found.front());
}

bool AnyFontInstalled() {
    Machine::Current();
    std::lock_guard lock(gLock);
    return !CurrentTable().sources.empty();
}

int AddFontResourceFile(std::u16string_view path, DWORD flags, DWORD* error) {
    Machine::Current();
    std::lock_guard lock(gLock);
    const int added = InstallByName(CurrentTable(), path, true, flags, error);
    if (added) ++gFontChanges;
    return added;
}

bool RemoveFontResourceFile(std::u16string_view path, DWORD flags, DWORD* error) {
    const std::vector<std::filesystem::path> hosts = Candidates(path, true);
    std::lock_guard lock(gLock);
    Table& table = CurrentTable();
    for (const auto& host : hosts) {
        auto source = std::find_if(table.sources.begin(), table.sources.end(),
                                   [&](const Source& s) { return s.host == host && s.flags == flags; });
        if (source == table.sources.end()) continue;
        if (--source->references == 0) table.sources.erase(source);
        ++gFontChanges;
        return true;
    }
    *error = ERROR_FILE_NOT_FOUND;
    return false;
}

}  // namespace w32
