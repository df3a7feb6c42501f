// Repair of the private part: each checked field out of range gets its repair
// value, strings are cut inside their fields, everything else is left alone.
// The field table below is written from the documented layout, independently
// of the code under test.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <random>
#include <set>

#include "devmode_test_support.h"
#include "ui/ui/devmode.h"

using namespace devmode_test;

namespace {

struct CheckedField {
    std::string name;
    size_t offset;  // in the private part
    int width;      // bytes
    bool isSigned;
    long long low, high, repair;
};

struct StringField {
    std::string name;
    size_t offset;
    size_t chars;  // the field's size in characters
};

std::vector<CheckedField> CheckedFields() {
    std::vector<CheckedField> f;
    auto i16 = [&](std::string name, size_t offset, long long low, long long high, long long repair) {
        f.push_back({std::move(name), offset, 2, true, low, high, repair});
    };
    auto i32 = [&](std::string name, size_t offset, long long low, long long high, long long repair) {
        f.push_back({std::move(name), offset, 4, true, low, high, repair});
    };
    auto u32 = [&](std::string name, size_t offset, long long low, long long high, long long repair) {
        f.push_back({std::move(name), offset, 4, false, low, high, repair});
    };
    auto words = [&](const std::string& name, size_t offset, long long low, long long high) {
        for (int i = 0; i < 4; ++i) i16(name + "[" + std::to_string(i) + "]", offset + 2 * i, low, high, 0);
    };
    i16("ColorMode", 4, 1, 1, 1);
    i16("Duplex", 6, 1, 5, 1);
    i16("DuplexIndex", 8, 0, 2, 0);
    i32("OutputSize", 272, 0, INT_MAX, 0);
    i32("ScaleFlag", 276, 0, 2, 0);
    i32("ScaleRadio", 280, 25, 400, 100);
    i16("MultipleUp", 284, 1, 23, 1);
    i16("PageOrder", 286, 0, 5, 0);
    i16("PageBorder", 288, 0, 1, 0);
    i16("MixedOrient", 290, 0, 2, 0);
    i16("PosterPrint", 294, 0, 1, 0);
    i16("PosterType", 296, 0, 2, 0);
    i16("CropMarks", 298, 0, 1, 0);
    i16("SourceTray", 300, 0, 2, 0);
    i16("Rotate", 302, 0, 3, 0);
    i16("FeedOrient", 304, 1, 2, 1);
    i16("ManualDuplex", 306, 0, 1, 0);
    i16("ImageShift", 324, 0, 8, 0);
    i16("MarginsAutoFit", 326, 0, 1, 1);
    i16("Side", 328, 0, 1181, 0);
    i16("Side2", 330, 0, 1181, 0);
    i16("PrintPosition", 332, 0, 4, 0);
    i16("AdjustPrintPosition", 334, 0, 1, 0);
    i16("LeftRight", 336, -1181, 1181, 0);
    i16("UpDown", 338, -1181, 1181, 0);
    i16("FavoriteIndex", 852, 0, 29, 26);
    i16("ImageAdjustMode", 854, 0, 2, 0);
    i16("ImageType[0]", 856, 0, 2, 0);
    i16("ImageType[1]", 858, 0, 3, 0);
    i16("ApplyElements", 860, 0, 1, 0);
    i16("DocumentElement", 862, 0, 2, 0);
    words("Brightness", 864, -100, 100);
    words("Constrast", 872, -100, 100);
    words("Saturation", 880, -100, 100);
    i16("AdjustBalance", 888, 0, 1, 0);
    i16("TargetColor", 890, 0, 3, 0);
    words("Highlights", 892, -3, 3);
    words("Midtones", 900, -3, 3);
    words("Shadows", 908, -3, 3);
    i16("Profile", 916, 0, 2, 0);
    i16("ColorTemperature", 918, 0, 2, 1);
    i16("GammaCorrection", 920, 0, 4, 3);
    i16("ImageInputIndex", 922, 0, 2, 0);
    i16("ScreenType", 1948, 0, 3, 0);
    i16("TonerSavingMode", 1950, 0, 3, 0);
    i16("Rotate180", 1952, 0, 1, 0);
    i16("Mirror", 1954, 0, 1, 0);
    i16("Thickness", 1956, 0, 2, 1);
    i16("Negative", 1958, 0, 1, 0);
    i16("FirstPageOnly", 1962, 0, 1, 0);
    const size_t mark = 1964;
    i16("watermark index", mark + 0, 0, 32, 0);
    i16("watermark type", mark + 2, 0, 2, 0);
    i16("watermark size", mark + 784, 6, 600, 72);
    i16("watermark bold", mark + 786, 0, 1, 0);
    i16("watermark italic", mark + 788, 0, 1, 0);
    i16("watermark fade", mark + 790, 0, 1, 0);
    i16("watermark frame", mark + 792, 0, 2, 0);
    i16("watermark angle", mark + 794, -90, 90, 0);
    i16("watermark scale", mark + 796, 0, 1000, 0);
    i16("watermark position", mark + 798, 0, 10, 0);
    i16("watermark tile", mark + 800, 0, 1, 0);
    i16("watermark face chosen", mark + 802, 0, 33, 0);
    u32("watermark colour", mark + 804, 0, 0xFFFFFF, 13311);
    i16("watermark value", mark + 808, 0, 7, 0);
    i16("HeaderFontSize", 3370, 5, 24, 9);
    i16("HeaderBold", 3372, 0, 1, 1);
    i16("HeaderItalic", 3374, 0, 1, 0);
    u32("HeaderColor", 3376, 0, 0xFFFFFF, 0);
    i16("HeaderColorIndex", 3380, 0, 6, 0);
    for (int i = 0; i < 6; ++i) {
        i16("PrintItems[" + std::to_string(i) + "].enabled", 3382 + 4 * i, 0, 1, 0);
        i16("PrintItems[" + std::to_string(i) + "].item", 3384 + 4 * i, 0, 5, 0);
    }
    for (int i = 0; i < 20; ++i) {
        i16("custom paper " + std::to_string(i) + " width", 3408 + 72 * i, 1800, 5100, 4960);
        i16("custom paper " + std::to_string(i) + " height", 3410 + 72 * i, 3000, 8400, 7015);
    }
    i32("use soft font", 4848, 0, 1, 1);
    i32("soft font bitmap", 4852, 0, 1, 0);
    return f;
}

std::vector<StringField> StringFields() {
    std::vector<StringField> f = {
        {"Monitor", 924, 256},           {"InputImage", 1436, 256},        {"HeaderFontName", 3306, 32},
        {"watermark name", 1968, 33},    {"watermark text", 2034, 65},     {"watermark face", 2164, 32},
        {"watermark bitmap", 2228, 260},
    };
    for (int i = 0; i < 20; ++i) f.push_back({"custom paper " + std::to_string(i) + " name", 3412 + 72 * size_t(i), 25});
    return f;
}

// Values outside the field's range that its width can hold.
std::vector<long long> OutOfRange(const CheckedField& field) {
    const long long min = field.isSigned ? -(1ll << (8 * field.width - 1)) : 0;
    const long long max = field.isSigned ? (1ll << (8 * field.width - 1)) - 1 : (1ll << (8 * field.width)) - 1;
    std::vector<long long> values;
    for (long long v : {field.low - 1, field.high + 1, min, max})
        if (v >= min && v <= max && (v < field.low || v > field.high)) values.push_back(v);
    return values;
}

PrivateDevmode Defaults() {
    PrivateDevmode priv;
    EXPECT_EQ(SetPrivateDevmodeDefaults(&priv, nullptr), S_OK);
    return priv;
}

std::string Offsets(const std::vector<size_t>& offsets) {
    std::string text;
    for (size_t o : offsets) text += std::to_string(o) + " ";
    return text;
}

TEST(ValidatePrivateDevmode, EachOutOfRangeValueGetsItsRepairValueAndNothingElseChanges) {
    const PrivateDevmode defaults = Defaults();
    for (const CheckedField& field : CheckedFields()) {
        for (long long value : OutOfRange(field)) {
            SCOPED_TRACE(field.name + " = " + std::to_string(value));
            PrivateDevmode priv = defaults;
            WriteInt(&priv, field.offset, field.width, value);
            ASSERT_EQ(ValidatePrivateDevmode(&priv), S_OK);
            EXPECT_EQ(ReadInt(&priv, field.offset, field.width, field.isSigned), field.repair);
            PrivateDevmode expected = defaults;
            WriteInt(&expected, field.offset, field.width, field.repair);
            EXPECT_EQ(Offsets(DifferingOffsets(&priv, &expected, sizeof(priv))), "");
        }
    }
}

TEST(ValidatePrivateDevmode, RangeEndsStay) {
    const PrivateDevmode defaults = Defaults();
    for (const CheckedField& field : CheckedFields()) {
        for (long long value : {field.low, field.high}) {
            SCOPED_TRACE(field.name + " = " + std::to_string(value));
            PrivateDevmode priv = defaults;
            WriteInt(&priv, field.offset, field.width, value);
            PrivateDevmode before = priv;
            ASSERT_EQ(ValidatePrivateDevmode(&priv), S_OK);
            EXPECT_EQ(Offsets(DifferingOffsets(&priv, &before, sizeof(priv))), "");
        }
    }
}

TEST(ValidatePrivateDevmode, StringsThatFillTheirFieldAreCutByOneCharacter) {
    for (const StringField& field : StringFields()) {
        SCOPED_TRACE(field.name);
        PrivateDevmode priv = Defaults();
        // A character with both bytes non-zero, so that the cut shows in both.
        for (size_t i = 0; i < field.chars; ++i) WriteInt(&priv, field.offset + 2 * i, 2, u'\u03A9');
        PrivateDevmode before = priv;
        ASSERT_EQ(ValidatePrivateDevmode(&priv), S_OK);
        EXPECT_EQ(ReadText(&priv, field.offset, field.chars), std::u16string(field.chars - 1, u'\u03A9'));
        const size_t last = field.offset + 2 * (field.chars - 1);
        EXPECT_EQ(Offsets(DifferingOffsets(&priv, &before, sizeof(priv))),
                  std::to_string(last) + " " + std::to_string(last + 1) + " ");
    }
}

TEST(ValidatePrivateDevmode, LongHeaderFontNameKeepsItsFirst31Characters) {
    PrivateDevmode priv = Defaults();
    const std::u16string name = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";  // 40 characters
    ASSERT_EQ(name.size(), 40u);
    for (size_t i = 0; i < 32; ++i) WriteInt(&priv, 3306 + 2 * i, 2, name[i]);
    ASSERT_EQ(ValidatePrivateDevmode(&priv), S_OK);
    EXPECT_EQ(ReadText(&priv, 3306, 32), name.substr(0, 31));
}

TEST(ValidatePrivateDevmode, WrongSignatureIsOverwritten) {
    PrivateDevmode priv = Defaults();
    memcpy(priv.signature, "priv", 4);
    ASSERT_EQ(ValidatePrivateDevmode(&priv), S_OK);
    EXPECT_EQ(memcmp(priv.signature, "PRIV", 4), 0);
}

TEST(ValidatePrivateDevmode, DefaultsPassUnchanged) {
    PrivateDevmode priv = Defaults();
    const PrivateDevmode before = priv;
    ASSERT_EQ(ValidatePrivateDevmode(&priv), S_OK);
    EXPECT_EQ(Offsets(DifferingOffsets(&priv, &before, sizeof(priv))), "");
}

TEST(ValidatePrivateDevmode, MissingPrivatePartIsReported) {
    EXPECT_EQ(ValidatePrivateDevmode(nullptr), E_PENDING);
}

// Random bytes everywhere: afterwards every checked field is in range (kept
// when it was, its repair value when it was not), every string ends inside
// its field, and every byte of the unchecked fields is as it was.
TEST(ValidatePrivateDevmode, GarbageIsRepairedIntoSettingsThatPassTheCheck) {
    const auto checked = CheckedFields();
    const auto strings = StringFields();
    std::set<size_t> touched = {0, 1, 2, 3};  // the signature
    for (const auto& field : checked)
        for (int i = 0; i < field.width; ++i) touched.insert(field.offset + i);
    for (const auto& field : strings) {
        touched.insert(field.offset + 2 * (field.chars - 1));
        touched.insert(field.offset + 2 * (field.chars - 1) + 1);
    }
    for (unsigned seed = 1; seed <= 16; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        PrivateDevmode priv;
        for (size_t i = 0; i < sizeof(priv); ++i) Bytes(&priv)[i] = static_cast<BYTE>(random());
        const PrivateDevmode before = priv;
        ASSERT_EQ(ValidatePrivateDevmode(&priv), S_OK);

        EXPECT_EQ(memcmp(priv.signature, "PRIV", 4), 0);
        for (const auto& field : checked) {
            long long was = ReadInt(&before, field.offset, field.width, field.isSigned);
            long long now = ReadInt(&priv, field.offset, field.width, field.isSigned);
            EXPECT_EQ(now, was >= field.low && was <= field.high ? was : field.repair) << field.name;
        }
        for (const auto& field : strings) {
            const size_t last = field.offset + 2 * (field.chars - 1);
            EXPECT_EQ(ReadInt(&priv, last, 2), 0) << field.name;
        }
        for (size_t i = 0; i < sizeof(priv); ++i) {
            if (!touched.count(i)) {
                ASSERT_EQ(Bytes(&priv)[i], Bytes(&before)[i]) << "unchecked byte " << i;
            }
        }
        // Repaired settings pass the check as they are.
        const PrivateDevmode repaired = priv;
        ASSERT_EQ(ValidatePrivateDevmode(&priv), S_OK);
        EXPECT_EQ(Offsets(DifferingOffsets(&priv, &repaired, sizeof(priv))), "");
    }
}

}  // namespace
