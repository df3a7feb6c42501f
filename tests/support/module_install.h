// Puts modules that the build made onto a test machine's drive, where
// LoadLibraryW finds them.
#pragma once
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "machine/machine.h"
#include "machine/paths.h"
#include "machine/unicode.h"

namespace tam::test {

// The folder holding the build's binaries: the test program's own folder.
inline std::filesystem::path BuiltFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

// Copies a built module (a name in the build's folder, or a path) to
// `windowsPath` on the machine, making the folders on the way. A code
// module's .res file, when the build made one, goes beside it under the new
// base name. A built .res file installed under a .dll name is a
// resource-only module. Throws std::runtime_error when something is missing.
inline std::filesystem::path InstallModule(w32::Machine& machine, const std::filesystem::path& built,
                                           std::u16string_view windowsPath) {
    std::filesystem::path source = built.is_absolute() ? built : BuiltFolder() / built;
    if (!std::filesystem::is_regular_file(source)) throw std::runtime_error("not built: " + source.string());
    auto normalized = w32::NormalizeWindowsPath(windowsPath, u"C:\\");
    auto resolved = w32::ResolveOnDrive(machine.DriveRoot(), normalized);
    // Missing folders keep the spelling given; existing ones the spelling on disk.
    std::filesystem::path target = resolved.host;
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
    if (source.extension() != ".res") {
        std::filesystem::path resources = source;
        resources.replace_extension(".res");
        if (std::filesystem::is_regular_file(resources)) {
            std::filesystem::path besideTarget = target;
            besideTarget.replace_extension(".res");
            std::filesystem::copy_file(resources, besideTarget, std::filesystem::copy_options::overwrite_existing);
        }
    }
    return target;
}

}  // namespace tam::test
