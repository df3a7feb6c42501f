#include "machine/machine.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "machine/fonts.h"
#include "machine/paths.h"
#include "machine/unicode.h"

namespace w32 {

namespace {

constexpr const char* kSettingsFile = "machine.ini";
constexpr const char* kSettingsHeader = "# Korvan simulated machine";

std::vector<MachineComponent*>& Components() {
    static std::vector<MachineComponent*> components;
    return components;
}

std::unique_ptr<Machine>& CurrentSlot() {
    static std::unique_ptr<Machine> slot;
    return slot;
}

std::mutex& SlotLock() {
    static std::mutex lock;
    return lock;
}

std::vector<MachineComponent*> SortedComponents() {
    auto list = Components();
    std::stable_sort(list.begin(), list.end(), [](auto* a, auto* b) { return a->Rank() < b->Rank(); });
    return list;
}

std::u16string Fold(std::u16string_view name) {
    std::u16string folded(name);
    for (auto& c : folded) c = FoldNameChar(c);
    return folded;
}

// One settings field: how to write it and read it back.
struct Field {
    const char* name;
    std::function<std::string(const MachineSettings&)> get;
    std::function<bool(MachineSettings&, const std::string&)> set;
};

template <class T>
Field NumberField(const char* name, T MachineSettings::*member) {
    return Field{name, [member](const MachineSettings& s) { return std::to_string((long long)(s.*member)); },
                 [member](MachineSettings& s, const std::string& text) {
                     char* end = nullptr;
                     long long v = std::strtoll(text.c_str(), &end, 0);
                     if (text.empty() || *end) return false;
                     s.*member = T(v);
                     return true;
                 }};
}

Field BoolField(const char* name, bool MachineSettings::*member) {
    return Field{name, [member](const MachineSettings& s) { return std::string(s.*member ? "1" : "0"); },
                 [member](MachineSettings& s, const std::string& text) {
                     if (text != "0" && text != "1") return false;
                     s.*member = text == "1";
                     return true;
                 }};
}

Field TextField(const char* name, std::u16string MachineSettings::*member) {
    return Field{name, [member](const MachineSettings& s) { return ToUtf8(s.*member); },
                 [member](MachineSettings& s, const std::string& text) {
                     s.*member = FromUtf8(text);
                     return true;
                 }};
}

const std::vector<Field>& Fields() {
    static const std::vector<Field> fields = {
        NumberField("osMajor", &MachineSettings::osMajor),
        NumberField("osMinor", &MachineSettings::osMinor),
        NumberField("osBuild", &MachineSettings::osBuild),
        NumberField("platformId", &MachineSettings::platformId),
        NumberField("productType", &MachineSettings::productType),
        NumberField("servicePackMajor", &MachineSettings::servicePackMajor),
        BoolField("is64Bit", &MachineSettings::is64Bit),
        TextField("computerName", &MachineSettings::computerName),
        TextField("userName", &MachineSettings::userName),
        NumberField("userLanguage", &MachineSettings::userLanguage),
        NumberField("systemLanguage", &MachineSettings::systemLanguage),
        NumberField("uiLanguage", &MachineSettings::uiLanguage),
        NumberField("country", &MachineSettings::country),
        NumberField("ansiCodePage", &MachineSettings::ansiCodePage),
        NumberField("oemCodePage", &MachineSettings::oemCodePage),
        BoolField("administrator", &MachineSettings::administrator),
        BoolField("uacFiltered", &MachineSettings::uacFiltered),
        TextField("programPath", &MachineSettings::programPath),
        TextField("programWindowTitle", &MachineSettings::programWindowTitle),
        BoolField("programManifestsVersion", &MachineSettings::programManifestsVersion),
        NumberField("timeZoneBiasMinutes", &MachineSettings::timeZoneBiasMinutes),
        BoolField("virtualClock", &MachineSettings::virtualClock),
    };
    return fields;
}

void OpenComponents(Machine& machine, bool created) {
    for (auto* component : SortedComponents()) {
        if (created) {
            component->Create(machine);
        } else {
            component->Open(machine);
        }
    }
}

Machine& Install(std::unique_ptr<Machine> machine, bool created) {
    Machine& ref = *machine;
    {
        std::lock_guard lock(SlotLock());
        CurrentSlot() = std::move(machine);
    }
    try {
        OpenComponents(ref, created);
    } catch (...) {
        std::lock_guard lock(SlotLock());
        CurrentSlot().reset();
        throw;
    }
    return ref;
}

}  // namespace

void RegisterMachineComponent(MachineComponent* component) { Components().push_back(component); }

Machine& Machine::Current() {
    {
        std::lock_guard lock(SlotLock());
        if (CurrentSlot()) return *CurrentSlot();
    }
    std::unique_ptr<Machine> machine(new Machine);
    machine->ResetEnvironment();
    machine->currentDirectory_ = machine->SystemDirectory();
    return Install(std::move(machine), true);
}

Machine& Machine::Create(const std::filesystem::path& folder, const MachineSettings& settings) {
    CloseCurrent();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw MachineError("cannot create machine folder " + folder.string() + ": " + ec.message());
    std::unique_ptr<Machine> machine(new Machine);
    machine->folder_ = std::filesystem::absolute(folder);
    machine->LockFolder();
    if (std::filesystem::exists(folder / kSettingsFile))
        throw MachineError("a machine already exists in " + folder.string());
    machine->settings_ = settings;
    machine->clock_.SetVirtual(settings.virtualClock);
    machine->LayOutFolders();
    machine->SaveSettings();
    machine->ResetEnvironment();
    machine->currentDirectory_ = machine->ProgramDirectory();
    return Install(std::move(machine), true);
}

Machine& Machine::Open(const std::filesystem::path& folder) {
    CloseCurrent();
    std::unique_ptr<Machine> machine(new Machine);
    machine->folder_ = std::filesystem::absolute(folder);
    machine->LockFolder();
    machine->LoadSettings();
    machine->clock_.SetVirtual(machine->settings_.virtualClock);
    machine->ResetEnvironment();
    machine->currentDirectory_ = machine->ProgramDirectory();
    return Install(std::move(machine), false);
}

Machine& Machine::OpenOrCreate(const std::filesystem::path& folder, const MachineSettings& settings) {
    if (std::filesystem::exists(folder / kSettingsFile)) return Open(folder);
    return Create(folder, settings);
}

void Machine::CloseCurrent() {
    std::unique_ptr<Machine> machine;
    {
        std::lock_guard lock(SlotLock());
        machine = std::move(CurrentSlot());
    }
    if (!machine) return;
    auto components = SortedComponents();
    for (auto it = components.rbegin(); it != components.rend(); ++it) (*it)->Close(*machine);
}

std::filesystem::path Machine::DefaultFolder() {
    if (const char* env = std::getenv("TAM_MACHINE"); env && *env) return env;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return std::filesystem::path(data) / "korvan" / "machine";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : ".") / ".local" / "share" / "korvan" / "machine";
}

Machine::~Machine() {
    if (folderLock_ >= 0) close(folderLock_);
}

void Machine::LockFolder() {
    const int fd = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw MachineError("cannot open machine folder " + folder_.string() + ": " + std::strerror(errno));
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        close(fd);
        if (error == EWOULDBLOCK) throw MachineBusy("the machine in " + folder_.string() + " is in use by another program");
        throw MachineError("cannot lock machine folder " + folder_.string() + ": " + std::strerror(error));
    }
    folderLock_ = fd;
}

void Machine::SaveSettings() const {
    if (folder_.empty()) return;
    std::ostringstream out;
    out << kSettingsHeader << "\n";
    for (const auto& field : Fields()) out << field.name << "=" << field.get(settings_) << "\n";
    auto target = folder_ / kSettingsFile;
    auto temp = folder_ / (std::string(kSettingsFile) + ".new");
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file << out.str();
        if (!file.flush()) throw MachineError("cannot write " + temp.string());
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    if (ec) throw MachineError("cannot replace " + target.string() + ": " + ec.message());
}

void Machine::LoadSettings() {
    auto path = folder_ / kSettingsFile;
    std::ifstream file(path, std::ios::binary);
    if (!file) throw MachineError("no machine in " + folder_.string() + " (" + kSettingsFile + " is missing)");
    std::string line;
    if (!std::getline(file, line) || line != kSettingsHeader)
        throw MachineError(path.string() + " is not a machine settings file");
    int number = 1;
    while (std::getline(file, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        auto eq = line.find('=');
        if (eq == std::string::npos)
            throw MachineError(path.string() + ":" + std::to_string(number) + ": expected name=value");
        std::string name = line.substr(0, eq);
        std::string value = line.substr(eq + 1);
        auto& fields = Fields();
        auto it = std::find_if(fields.begin(), fields.end(), [&](const Field& f) { return name == f.name; });
        if (it == fields.end())
            throw MachineError(path.string() + ":" + std::to_string(number) + ": unknown setting '" + name + "'");
        if (!it->set(settings_, value))
            throw MachineError(path.string() + ":" + std::to_string(number) + ": bad value for '" + name + "'");
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(DriveRoot(), ec))
        throw MachineError("machine in " + folder_.string() + " has no drive folder");
}

void Machine::LayOutFolders() {
    const std::u16string user = UserProfile();
    std::vector<std::u16string> folders = {
        u"C:\\Windows",
        u"C:\\Windows\\System32",
        u"C:\\Windows\\System32\\spool\\PRINTERS",
        u"C:\\Windows\\System32\\spool\\drivers\\color",
        u"C:\\Windows\\INF",
        u"C:\\Windows\\Temp",
        u"C:\\Windows\\Fonts",
        u"C:\\Program Files",
        u"C:\\Users\\Public",
        u"C:\\Users\\Public\\Desktop",
        u"C:\\ProgramData",
        u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs",
        user + u"\\AppData\\Roaming",
        user + u"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
        user + u"\\AppData\\Local\\Temp",
        user + u"\\Desktop",
        user + u"\\Documents",
    };
    if (settings_.is64Bit) {
        folders.push_back(u"C:\\Windows\\System32\\spool\\drivers\\x64\\3");
        folders.push_back(u"C:\\Windows\\System32\\spool\\prtprocs\\x64");
        folders.push_back(u"C:\\Windows\\SysWOW64");
        folders.push_back(u"C:\\Program Files (x86)");
    } else {
        folders.push_back(u"C:\\Windows\\System32\\spool\\drivers\\W32X86\\3");
        folders.push_back(u"C:\\Windows\\System32\\spool\\prtprocs\\W32X86");
    }
    folders.push_back(ProgramDirectory());
    std::error_code ec;
    for (const auto& folder : folders) {
        std::filesystem::path host = DriveRoot();
        std::u16string normalized = NormalizeWindowsPath(folder, u"C:\\");
        for (size_t start = 3; start < normalized.size();) {
            size_t end = normalized.find(u'\\', start);
            if (end == std::u16string::npos) end = normalized.size();
            host /= ToUtf8(normalized.substr(start, end - start));
            start = end + 1;
        }
        std::filesystem::create_directories(host, ec);
        if (ec) throw MachineError("cannot create " + host.string() + ": " + ec.message());
    }
    // The standard fonts are the host's files, shown in the font folder
    // through links rather than copied into every machine.
    LinkStandardFonts(DriveRoot() / "Windows" / "Fonts");
}

std::u16string Machine::ProgramDirectory() const {
    auto slash = settings_.programPath.rfind(u'\\');
    if (slash == std::u16string::npos || slash < 2) return u"C:\\";
    if (slash == 2) return settings_.programPath.substr(0, 3);
    return settings_.programPath.substr(0, slash);
}

void Machine::ResetEnvironment() {
    std::lock_guard lock(lock_);
    environment_.clear();
    const std::u16string user = UserProfile();
    const std::pair<std::u16string, std::u16string> values[] = {
        {u"ALLUSERSPROFILE", u"C:\\ProgramData"},
        {u"APPDATA", user + u"\\AppData\\Roaming"},
        {u"COMPUTERNAME", settings_.computerName},
        {u"HOMEDRIVE", u"C:"},
        {u"HOMEPATH", u"\\Users\\" + settings_.userName},
        {u"LOCALAPPDATA", user + u"\\AppData\\Local"},
        {u"OS", u"Windows_NT"},
        {u"Path", u"C:\\Windows\\system32;C:\\Windows"},
        {u"PATHEXT", u".COM;.EXE;.BAT;.CMD"},
        {u"ProgramData", u"C:\\ProgramData"},
        {u"ProgramFiles", u"C:\\Program Files"},
        {u"PUBLIC", u"C:\\Users\\Public"},
        {u"SystemDrive", u"C:"},
        {u"SystemRoot", u"C:\\Windows"},
        {u"TEMP", TempDirectory()},
        {u"TMP", TempDirectory()},
        {u"USERNAME", settings_.userName},
        {u"USERPROFILE", user},
        {u"windir", u"C:\\Windows"},
    };
    for (const auto& [name, value] : values) environment_[Fold(name)] = {name, value};
    if (settings_.is64Bit) {
        environment_[Fold(u"ProgramFiles(x86)")] = {u"ProgramFiles(x86)", u"C:\\Program Files (x86)"};
        environment_[Fold(u"ProgramW6432")] = {u"ProgramW6432", u"C:\\Program Files"};
        environment_[Fold(u"PROCESSOR_ARCHITECTURE")] = {u"PROCESSOR_ARCHITECTURE", u"AMD64"};
    } else {
        environment_[Fold(u"PROCESSOR_ARCHITECTURE")] = {u"PROCESSOR_ARCHITECTURE", u"x86"};
    }
}

bool Machine::GetEnvironment(std::u16string_view name, std::u16string& value) const {
    std::lock_guard lock(lock_);
    auto it = environment_.find(Fold(name));
    if (it == environment_.end()) return false;
    value = it->second.second;
    return true;
}

void Machine::SetEnvironment(std::u16string_view name, const std::u16string* value) {
    std::lock_guard lock(lock_);
    if (value) {
        environment_[Fold(name)] = {std::u16string(name), *value};
    } else {
        environment_.erase(Fold(name));
    }
}

std::map<std::u16string, std::u16string> Machine::Environment() const {
    std::lock_guard lock(lock_);
    std::map<std::u16string, std::u16string> result;
    for (const auto& [folded, entry] : environment_) result[entry.first] = entry.second;
    return result;
}

std::u16string Machine::WorkingDirectory() const {
    std::lock_guard lock(lock_);
    return currentDirectory_;
}

void Machine::SetWorkingDirectory(const std::u16string& path) {
    std::lock_guard lock(lock_);
    currentDirectory_ = path;
}

}  // namespace w32
