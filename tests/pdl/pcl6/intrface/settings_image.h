// Byte images of settings records, written field by field at the offsets
// the formats give, so that tests state what the bytes must be without
// going through the code under test.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "pcl6/intrface/renddevmode.h"

namespace tam::test {

// Offsets of the public DEVMODEW (220 bytes).
namespace dm {
constexpr size_t DeviceName = 0, SpecVersion = 64, DriverVersion = 66, Size = 68, DriverExtra = 70, Fields = 72,
                 Orientation = 76, PaperSize = 78, PaperLength = 80, PaperWidth = 82, Scale = 84, Copies = 86,
                 DefaultSource = 88, PrintQuality = 90, Color = 92, Duplex = 94, YResolution = 96, TTOption = 98,
                 Collate = 100, FormName = 102, MediaType = 196;
}  // namespace dm

// Offsets of the user interface's private part, from its start (which lies
// 220 bytes into the DEVMODE), and of its watermark record.
namespace ui {
constexpr size_t Signature = 0, ColorMode = 4, Duplex = 6, OppositeSide = 10, BasicSwitch = 268, ScaleRadio = 280,
                 MultipleUp = 284, PageOrder = 286, PageBorder = 288, FeedOrient = 304, MarginsAutoFit = 326,
                 FavoriteIndex = 852, ColorTemperature = 918, GammaCorrection = 920, TonerSavingMode = 1950,
                 Rotate180 = 1952, Thickness = 1956, ScaleCopy = 1960, FirstPageOnly = 1962, Watermark = 1964,
                 HeaderFontName = 3306, HeaderFontSize = 3370, HeaderBold = 3372, CustomPaper = 3408,
                 UseSoftFont = 4848, SoftFontBitmap = 4852, SoftFontFace = 4856, SoftFontSize = 4858;
namespace wm {
constexpr size_t Index = 0, Type = 2, Name = 4, Text = 70, Face = 200, Path = 264, Size = 784, Bold = 786,
                 Italic = 788, Fade = 790, Frame = 792, Angle = 794, Scale = 796, Position = 798, Tile = 800,
                 FaceChosen = 802, Color = 804, X = 810, Y = 812, Grey = 814;
}  // namespace wm
}  // namespace ui

// A zeroed image of `size` bytes with little-endian writers.
class ByteImage {
public:
    explicit ByteImage(size_t size) : bytes_(size, 0) {}

    ByteImage& U8(size_t offset, unsigned value) {
        bytes_.at(offset) = BYTE(value);
        return *this;
    }
    ByteImage& I16(size_t offset, long value) { return Little(offset, uint64_t(value), 2); }
    ByteImage& I32(size_t offset, long long value) { return Little(offset, uint64_t(value), 4); }
    ByteImage& Wide(size_t offset, std::u16string_view text) {
        for (size_t i = 0; i < text.size(); ++i) I16(offset + 2 * i, text[i]);
        return *this;
    }
    ByteImage& Narrow(size_t offset, std::string_view text) {
        for (size_t i = 0; i < text.size(); ++i) U8(offset + i, BYTE(text[i]));
        return *this;
    }
    ByteImage& Zero(size_t offset, size_t size) {
        if (offset + size > bytes_.size()) throw std::out_of_range("image write");
        std::memset(bytes_.data() + offset, 0, size);
        return *this;
    }
    ByteImage& Bytes(size_t offset, const void* data, size_t size) {
        if (offset + size > bytes_.size()) throw std::out_of_range("image write");
        std::memcpy(bytes_.data() + offset, data, size);
        return *this;
    }

    unsigned GetU8(size_t offset) const { return bytes_.at(offset); }
    int GetI16(size_t offset) const { return int16_t(GetU8(offset) | GetU8(offset + 1) << 8); }
    long GetI32(size_t offset) const {
        return long(int32_t(uint32_t(GetU8(offset)) | uint32_t(GetU8(offset + 1)) << 8 |
                            uint32_t(GetU8(offset + 2)) << 16 | uint32_t(GetU8(offset + 3)) << 24));
    }

    BYTE* data() { return bytes_.data(); }
    const BYTE* data() const { return bytes_.data(); }
    size_t size() const { return bytes_.size(); }
    const std::vector<BYTE>& bytes() const { return bytes_; }
    std::vector<BYTE>& bytes() { return bytes_; }

private:
    ByteImage& Little(size_t offset, uint64_t value, int width) {
        for (int i = 0; i < width; ++i) U8(offset + size_t(i), unsigned(value >> (8 * i)) & 0xFF);
        return *this;
    }
    std::vector<BYTE> bytes_;
};

// The bytes of a record.
template <class T>
std::vector<BYTE> BytesOf(const T& record) {
    const auto* p = reinterpret_cast<const BYTE*>(&record);
    return std::vector<BYTE>(p, p + sizeof(T));
}

// Byte-for-byte comparison that names the first differing offsets.
inline testing::AssertionResult SameBytes(const std::vector<BYTE>& actual, const std::vector<BYTE>& expected) {
    if (actual.size() != expected.size())
        return testing::AssertionFailure() << "size " << actual.size() << " instead of " << expected.size();
    std::ostringstream out;
    int shown = 0, differing = 0;
    for (size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] == expected[i]) continue;
        ++differing;
        if (shown++ < 24)
            out << "\n  offset " << i << " (private " << long(i) - 220 << "): " << int(actual[i]) << " instead of "
                << int(expected[i]);
    }
    if (differing == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << differing << " bytes differ:" << out.str();
}

// The user interface's default settings (220 public and 4864 private bytes)
// in an A4 country, as the user interface writes them without a printer
// name: no favourite name, the "[No Watermark]" record, twenty custom sizes.
inline ByteImage UiDefaultDevmode(std::u16string_view deviceName = u"Korvan KP-2200") {
    ByteImage image(220 + 4864);
    image.Wide(dm::DeviceName, deviceName)
        .I16(dm::SpecVersion, 0x401)
        .I16(dm::DriverVersion, 0x600)
        .I16(dm::Size, 220)
        .I16(dm::DriverExtra, 4864)
        .I32(dm::Fields, 0xBF1F)
        .I16(dm::Orientation, 1)
        .I16(dm::PaperSize, 9)
        .I16(dm::PaperLength, 2970)
        .I16(dm::PaperWidth, 2100)
        .I16(dm::Scale, 100)
        .I16(dm::Copies, 1)
        .I16(dm::DefaultSource, 7)
        .I16(dm::PrintQuality, 600)
        .I16(dm::Color, 1)
        .I16(dm::Duplex, 1)
        .I16(dm::YResolution, 600)
        .I16(dm::TTOption, 1)
        .I16(dm::Collate, 0)
        .Wide(dm::FormName, u"A4")
        .I32(dm::MediaType, 1);
    const size_t p = 220;
    image.Narrow(p + ui::Signature, "PRIV")
        .I16(p + ui::ColorMode, 1)
        .I16(p + ui::Duplex, 1)
        .I32(p + ui::ScaleRadio, 100)
        .I16(p + ui::MultipleUp, 1)
        .I16(p + ui::FeedOrient, 1)
        .I16(p + ui::MarginsAutoFit, 1)
        .I16(p + ui::FavoriteIndex, 26)
        .I16(p + ui::ColorTemperature, 1)
        .I16(p + ui::GammaCorrection, 3)
        .I16(p + ui::Thickness, 1)
        .I16(p + ui::ScaleCopy, 100)
        .Wide(p + ui::HeaderFontName, u"Times New Roman")
        .I16(p + ui::HeaderFontSize, 9)
        .I16(p + ui::HeaderBold, 1)
        .I32(p + ui::UseSoftFont, 1);
    const size_t w = p + ui::Watermark;
    image.Wide(w + ui::wm::Name, u"[No Watermark]")
        .Wide(w + ui::wm::Face, u"Arial")
        .I16(w + ui::wm::Size, 54)
        .I16(w + ui::wm::Scale, 100)
        .I16(w + ui::wm::Position, 5)
        .I16(w + ui::wm::X, 50)
        .I16(w + ui::wm::Y, 50)
        .I16(w + ui::wm::Grey, 1);
    for (int i = 0; i < 20; ++i) {
        const size_t c = p + ui::CustomPaper + size_t(i) * 72;
        const std::string name = "Custom " + std::to_string(i + 1);
        image.I16(c, 4960).I16(c + 2, 7015);
        for (size_t k = 0; k < name.size(); ++k) image.I16(c + 4 + 2 * k, name[k]);
    }
    return image;
}

// The default settings, written from the format's tables.
inline ByteImage ExpectedDefaults(bool a4, std::u16string_view device, std::u16string_view user,
                           std::u16string_view formsFolder) {
    ByteImage e(14900);
    e.Wide(dm::DeviceName, device)
        .I16(dm::SpecVersion, 0x401)
        .I16(dm::DriverVersion, 0x500)
        .I16(dm::Size, 220)
        .I16(dm::DriverExtra, 14680)
        .I32(dm::Fields, 0x9F13)
        .I16(dm::Orientation, 1)
        .I16(dm::PaperSize, a4 ? 9 : 1)
        .I16(dm::PaperWidth, a4 ? 2100 : 2159)
        .I16(dm::PaperLength, a4 ? 2970 : 2794)
        .Wide(dm::FormName, a4 ? u"A4" : u"Letter")
        .I16(dm::Copies, 1)
        .I16(dm::Color, 1)
        .I16(dm::Duplex, 1)
        .I16(dm::TTOption, 1)
        .I16(dm::Collate, 1)
        .I16(dm::PrintQuality, 600)
        .I16(dm::YResolution, 600)
        .I16(dm::Scale, 100)
        .I16(dm::DefaultSource, 7);
    const size_t R = 220;
    e.I16(R + 0, 1)
        .I16(R + 8, 25)
        .Narrow(R + 16, "PRIV")
        .Wide(R + 20, u"Standard")
        .U8(R + 104, 1)
        .U8(R + 118, 1)
        .I16(R + 542, 100)
        .I16(R + 548, a4 ? 9 : 1)
        .U8(R + 550, 1)
        .I32(R + 564, a4 ? 9 : 1)
        .I32(R + 568, a4 ? 2970 : 2794)
        .I32(R + 572, a4 ? 2100 : 2159)
        .U8(R + 1861, 5)
        .I32(R + 1868, 1)
        .U8(R + 1876, a4 ? 0 : 1)
        .Wide(R + 1892, formsFolder)
        .Wide(R + 2404, formsFolder)
        .U8(R + 2928, 1)
        .U8(R + 2962, 1)
        .U8(R + 2963, 3)
        .Wide(R + 6720, u"Times New Roman")
        .I32(R + 7744, 9)
        .I32(R + 7752, 1)
        .I16(R + 7816, 1)
        .Wide(R + 8928, user)
        .Narrow(R + 9160, "255.255.255.255")
        .U8(R + 13588, 1)
        .U8(R + 13600, 1)
        .I16(R + 13602, 95)
        .I16(R + 13604, 2)
        .I32(R + 13624, 526)
        .I16(R + 13628, 60)
        .Wide(R + 13634, u"c:\\ui.txt")
        .Wide(R + 14146, u"c:\\text.txt")
        .U8(R + 14660, 0x8C)
        .I32(R + 14664, 100)
        .I32(R + 14668, 100)
        .I32(R + 14672, 100);
    return e;
}

inline const DEVMODEW* AsDevmode(const ByteImage& image) { return reinterpret_cast<const DEVMODEW*>(image.data()); }

}  // namespace tam::test
