// The fonts a machine comes with: links in C:\Windows\Fonts to the host's
// font files, and the registry keys that list them and the substitute names.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "machine/fonts.h"
#include "machine/registry.h"
#include "support/machine_fixture.h"
#include "winreg.h"

namespace {

using tam::test::MachineTest;

// A REG_SZ value's text, or nothing when the value is missing or of another type.
std::optional<std::u16string> StringValue(std::u16string_view keyPath, std::u16string_view name) {
    auto registry = w32::Registry::Current();
    std::lock_guard lock(registry->Mutex());
    w32::RegistryKeyPtr key = registry->Find(registry->LocalMachine(), keyPath);
    const w32::RegistryValue* value = key ? key->FindValue(name) : nullptr;
    if (!value || value->type != REG_SZ) return std::nullopt;
    std::u16string text(value->data.size() / 2, u'\0');
    std::memcpy(text.data(), value->data.data(), text.size() * 2);
    return text.substr(0, text.find(u'\0'));
}

size_t ValueCount(std::u16string_view keyPath) {
    auto registry = w32::Registry::Current();
    std::lock_guard lock(registry->Mutex());
    w32::RegistryKeyPtr key = registry->Find(registry->LocalMachine(), keyPath);
    return key ? key->ValueCount() : 0;
}

using MachineFonts = MachineTest;

TEST_F(MachineFonts, FontFolderLinksEachStandardFontToItsHostFile) {
    const auto folder = HostPath(u"C:\\Windows\\Fonts");
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++entries;
    EXPECT_EQ(entries, w32::StandardFonts().size());
    for (const w32::StandardFont& font : w32::StandardFonts()) {
        const auto link = HostPath(std::u16string(u"C:\\Windows\\Fonts\\") + font.fileName);
        SCOPED_TRACE(link.string());
        ASSERT_TRUE(std::filesystem::is_symlink(link));
        EXPECT_EQ(std::filesystem::read_symlink(link), font.hostPath);
        EXPECT_TRUE(std::filesystem::is_regular_file(link));  // the host package is installed
    }
}

TEST_F(MachineFonts, LinksSurviveReopening) {
    Reopen();
    const auto link = HostPath(u"C:\\Windows\\Fonts\\wqy-microhei.ttc");
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link), "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc");
    EXPECT_EQ(StringValue(w32::kFontsKey, u"WenQuanYi Micro Hei & WenQuanYi Micro Hei Mono (TrueType)"),
              u"wqy-microhei.ttc");
}

// The registry lists every standard font by its file name, relative to the
// font folder, under the faces' full names; and programs' face names stand
// for installed families. A memory-only machine has the same keys.
class FontRegistry : public MachineTest, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        if (GetParam()) w32::Machine::CloseCurrent();  // the memory-only machine follows
    }
};

TEST_P(FontRegistry, ListsTheFontsAndTheSubstituteNames) {
    ASSERT_EQ(w32::Machine::Current().HasDrive(), !GetParam());
    struct Entry {
        const char16_t* key;
        const char16_t* name;
        const char16_t* value;
    };
    const Entry entries[] = {
        {w32::kFontsKey, u"DejaVu Sans (TrueType)", u"DejaVuSans.ttf"},
        {w32::kFontsKey, u"DejaVu Sans Mono Bold (TrueType)", u"DejaVuSansMono-Bold.ttf"},
        {w32::kFontsKey, u"Liberation Serif Bold Italic (TrueType)", u"LiberationSerif-BoldItalic.ttf"},
        {w32::kFontsKey, u"liberation mono (truetype)", u"LiberationMono-Regular.ttf"},
        {w32::kFontsKey, u"WenQuanYi Micro Hei & WenQuanYi Micro Hei Mono (TrueType)", u"wqy-microhei.ttc"},
        {w32::kFontSubstitutesKey, u"Arial", u"Liberation Sans"},
        {w32::kFontSubstitutesKey, u"Times New Roman", u"Liberation Serif"},
        {w32::kFontSubstitutesKey, u"Courier New", u"Liberation Mono"},
        {w32::kFontSubstitutesKey, u"MS Shell Dlg", u"Liberation Sans"},
        {w32::kFontSubstitutesKey, u"MS Shell Dlg 2", u"Liberation Sans"},
        {w32::kFontSubstitutesKey, u"Tms Rmn", u"Liberation Serif"},
        {w32::kFontSubstitutesKey, u"Arial CYR,204", u"Liberation Sans,204"},
        {w32::kFontSubstitutesKey, u"SimSun", u"WenQuanYi Micro Hei"},
        {w32::kFontSubstitutesKey, u"Gulim", u"WenQuanYi Micro Hei"},
        {w32::kFontSubstitutesKey, u"MS Gothic", u"WenQuanYi Micro Hei Mono"},
    };
    for (const Entry& e : entries)
        EXPECT_EQ(StringValue(e.key, e.name), e.value) << testing::PrintToString(std::u16string(e.name));
    // Nothing but the 19 files: six of DejaVu, twelve of Liberation, the collection.
    EXPECT_EQ(ValueCount(w32::kFontsKey), 19u);
}

INSTANTIATE_TEST_SUITE_P(Machines, FontRegistry, testing::Bool(),
                         [](const auto& info) { return info.param ? "MemoryOnly" : "WithDrive"; });

}  // namespace
