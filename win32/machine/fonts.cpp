#include "machine/fonts.h"

#include <system_error>

#include "machine/machine.h"
#include "machine/paths.h"
#include "machine/unicode.h"

namespace w32 {

namespace {

// The fonts of Debian's fonts-dejavu-core, fonts-liberation2 and
// fonts-wqy-microhei, under the names the packages give them.
constexpr StandardFont kFonts[] = {
    {u"DejaVuSans.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", u"DejaVu Sans (TrueType)"},
    {u"DejaVuSans-Bold.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", u"DejaVu Sans Bold (TrueType)"},
    {u"DejaVuSansMono.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", u"DejaVu Sans Mono (TrueType)"},
    {u"DejaVuSansMono-Bold.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
     u"DejaVu Sans Mono Bold (TrueType)"},
    {u"DejaVuSerif.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf", u"DejaVu Serif (TrueType)"},
    {u"DejaVuSerif-Bold.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
     u"DejaVu Serif Bold (TrueType)"},
    {u"LiberationSans-Regular.ttf", "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
     u"Liberation Sans (TrueType)"},
    {u"LiberationSans-Bold.ttf", "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
     u"Liberation Sans Bold (TrueType)"},
    {u"LiberationSans-Italic.ttf", "/usr/share/fonts/truetype/liberation2/LiberationSans-Italic.ttf",
     u"Liberation Sans Italic (TrueType)"},
    {u"LiberationSans-BoldItalic.ttf", "/usr/share/fonts/truetype/liberation2/LiberationSans-BoldItalic.ttf",
     u"Liberation Sans Bold Italic (TrueType)"},
    {u"LiberationSerif-Regular.ttf", "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf",
     u"Liberation Serif (TrueType)"},
    {u"LiberationSerif-Bold.ttf", "/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf",
     u"Liberation Serif Bold (TrueType)"},
    {u"LiberationSerif-Italic.ttf", "/usr/share/fonts/truetype/liberation2/LiberationSerif-Italic.ttf",
     u"Liberation Serif Italic (TrueType)"},
    {u"LiberationSerif-BoldItalic.ttf", "/usr/share/fonts/truetype/liberation2/LiberationSerif-BoldItalic.ttf",
     u"Liberation Serif Bold Italic (TrueType)"},
    {u"LiberationMono-Regular.ttf", "/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf",
     u"Liberation Mono (TrueType)"},
    {u"LiberationMono-Bold.ttf", "/usr/share/fonts/truetype/liberation2/LiberationMono-Bold.ttf",
     u"Liberation Mono Bold (TrueType)"},
    {u"LiberationMono-Italic.ttf", "/usr/share/fonts/truetype/liberation2/LiberationMono-Italic.ttf",
     u"Liberation Mono Italic (TrueType)"},
    {u"LiberationMono-BoldItalic.ttf", "/usr/share/fonts/truetype/liberation2/LiberationMono-BoldItalic.ttf",
     u"Liberation Mono Bold Italic (TrueType)"},
    {u"wqy-microhei.ttc", "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
     u"WenQuanYi Micro Hei & WenQuanYi Micro Hei Mono (TrueType)"},
};

// The Liberation families have the metrics of the Windows core fonts they
// stand for, so text laid out for those keeps its line breaks. The Chinese,
// Japanese and Korean faces all go to the one CJK collection; those that are
// fixed-pitch on Windows (NSimSun, MingLiU, MS Gothic, MS Mincho and the
// "-Che" faces) to its face with fixed-width Latin letters.
constexpr StandardFontSubstitute kSubstitutes[] = {
    {u"Arial", u"Liberation Sans"},
    {u"Times New Roman", u"Liberation Serif"},
    {u"Courier New", u"Liberation Mono"},
    {u"Arial CE,238", u"Liberation Sans,238"},
    {u"Arial CYR,204", u"Liberation Sans,204"},
    {u"Arial Greek,161", u"Liberation Sans,161"},
    {u"Arial TUR,162", u"Liberation Sans,162"},
    {u"Times New Roman CE,238", u"Liberation Serif,238"},
    {u"Times New Roman CYR,204", u"Liberation Serif,204"},
    {u"Times New Roman Greek,161", u"Liberation Serif,161"},
    {u"Times New Roman TUR,162", u"Liberation Serif,162"},
    {u"Courier New CE,238", u"Liberation Mono,238"},
    {u"Courier New CYR,204", u"Liberation Mono,204"},
    {u"Courier New Greek,161", u"Liberation Mono,161"},
    {u"Courier New TUR,162", u"Liberation Mono,162"},
    {u"Helv", u"Liberation Sans"},
    {u"Helvetica", u"Liberation Sans"},
    {u"MS Shell Dlg", u"Liberation Sans"},
    {u"MS Shell Dlg 2", u"Liberation Sans"},
    {u"MS Sans Serif", u"Liberation Sans"},
    {u"Microsoft Sans Serif", u"Liberation Sans"},
    {u"System", u"Liberation Sans"},
    {u"Tahoma", u"Liberation Sans"},
    {u"Segoe UI", u"Liberation Sans"},
    {u"Verdana", u"Liberation Sans"},
    {u"Calibri", u"Liberation Sans"},
    {u"Times", u"Liberation Serif"},
    {u"Tms Rmn", u"Liberation Serif"},
    {u"MS Serif", u"Liberation Serif"},
    {u"Cambria", u"Liberation Serif"},
    {u"Georgia", u"Liberation Serif"},
    {u"Courier", u"Liberation Mono"},
    {u"Consolas", u"Liberation Mono"},
    {u"Lucida Console", u"Liberation Mono"},
    {u"Fixedsys", u"Liberation Mono"},
    {u"Terminal", u"Liberation Mono"},
    // Simplified Chinese.
    {u"SimSun", u"WenQuanYi Micro Hei"},
    {u"宋体", u"WenQuanYi Micro Hei"},
    {u"NSimSun", u"WenQuanYi Micro Hei Mono"},
    {u"新宋体", u"WenQuanYi Micro Hei Mono"},
    {u"SimHei", u"WenQuanYi Micro Hei"},
    {u"黑体", u"WenQuanYi Micro Hei"},
    {u"Microsoft YaHei", u"WenQuanYi Micro Hei"},
    {u"微软雅黑", u"WenQuanYi Micro Hei"},
    // Traditional Chinese.
    {u"MingLiU", u"WenQuanYi Micro Hei Mono"},
    {u"細明體", u"WenQuanYi Micro Hei Mono"},
    {u"PMingLiU", u"WenQuanYi Micro Hei"},
    {u"新細明體", u"WenQuanYi Micro Hei"},
    {u"Microsoft JhengHei", u"WenQuanYi Micro Hei"},
    // Japanese.
    {u"MS Gothic", u"WenQuanYi Micro Hei Mono"},
    {u"ＭＳ ゴシック", u"WenQuanYi Micro Hei Mono"},
    {u"MS PGothic", u"WenQuanYi Micro Hei"},
    {u"ＭＳ Ｐゴシック", u"WenQuanYi Micro Hei"},
    {u"MS UI Gothic", u"WenQuanYi Micro Hei"},
    {u"MS Mincho", u"WenQuanYi Micro Hei Mono"},
    {u"ＭＳ 明朝", u"WenQuanYi Micro Hei Mono"},
    {u"MS PMincho", u"WenQuanYi Micro Hei"},
    {u"ＭＳ Ｐ明朝", u"WenQuanYi Micro Hei"},
    {u"Meiryo", u"WenQuanYi Micro Hei"},
    {u"Yu Gothic", u"WenQuanYi Micro Hei"},
    // Korean.
    {u"Gulim", u"WenQuanYi Micro Hei"},
    {u"굴림", u"WenQuanYi Micro Hei"},
    {u"GulimChe", u"WenQuanYi Micro Hei Mono"},
    {u"굴림체", u"WenQuanYi Micro Hei Mono"},
    {u"Dotum", u"WenQuanYi Micro Hei"},
    {u"돋움", u"WenQuanYi Micro Hei"},
    {u"DotumChe", u"WenQuanYi Micro Hei Mono"},
    {u"Batang", u"WenQuanYi Micro Hei"},
    {u"바탕", u"WenQuanYi Micro Hei"},
    {u"BatangChe", u"WenQuanYi Micro Hei Mono"},
    {u"Malgun Gothic", u"WenQuanYi Micro Hei"},
};

}  // namespace

std::span<const StandardFont> StandardFonts() { return kFonts; }

std::span<const StandardFontSubstitute> StandardFontSubstitutes() { return kSubstitutes; }

const StandardFont* FindStandardFont(std::u16string_view fileName) {
    for (const auto& font : kFonts)
        if (NamesEqual(font.fileName, fileName)) return &font;
    return nullptr;
}

void LinkStandardFonts(const std::filesystem::path& hostFontsFolder) {
    for (const auto& font : kFonts) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(font.hostPath, ec)) continue;
        const std::filesystem::path link = hostFontsFolder / ToUtf8(font.fileName);
        std::filesystem::create_symlink(font.hostPath, link, ec);
        if (ec)
            throw MachineError("cannot link " + link.string() + " to " + font.hostPath + ": " + ec.message());
    }
}

}  // namespace w32
