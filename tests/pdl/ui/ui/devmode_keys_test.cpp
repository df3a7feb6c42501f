// The key table of a context and access to private fields by key name.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "devmode_test_support.h"
#include "ui/ui/devmode.h"

using namespace devmode_test;

namespace {

struct Slot {
    const char* name;  // "" for an empty slot
    int size;
    int offset;
};

// The 77 slots as documented, in order.
const Slot kSlots[77] = {
    {"OutputSize", 4, 272},      {"ScaleFlag", 4, 276},         {"ScaleRadio", 4, 280},
    {"", 0, 0},                  {"FeedOrient", 2, 304},        {"PosterPrint", 2, 294},
    {"MultipleUp", 2, 284},      {"PageOrder", 2, 286},         {"PageBorder", 2, 288},
    {"MixedOrient", 2, 290},     {"PosterType", 2, 296},        {"CropMarks", 2, 298},
    {"BookletPrint", 2, 310},    {"BookletBinding", 2, 312},    {"BookletSubsets", 2, 314},
    {"BookletSheets", 2, 316},   {"BookletGutter", 2, 318},     {"BookletAutoFit", 2, 320},
    {"BoookletMargins", 2, 322}, {"Rotate", 2, 302},            {"ImageShift", 2, 324},
    {"MarginsAutoFit", 2, 326},  {"Side", 2, 328},              {"PrintPosition", 2, 332},
    {"AdjustPrintPosition", 2, 334}, {"LeftRight", 2, 336},     {"UpDown", 2, 338},
    {"", 0, 0},                  {"", 0, 0},                    {"FavoriteName", 512, 340},
    {"FavoriteIndex", 2, 852},   {"FirstPageOnly", 2, 1962},    {"WatermarkData", 816, 1964},
    {"OverlayFlag", 2, 2784},    {"OverlayFileName", 520, 2786}, {"HeaderBold", 2, 3372},
    {"HeaderItalic", 2, 3374},   {"HeaderFontSize", 2, 3370},   {"HeaderFontName", 64, 3306},
    {"PrintItems", 24, 3382},    {"CustomPaperSize", 1440, 3408}, {"SourceTray", 2, 300},
    {"ManualDuplex", 2, 306},    {"", 0, 0},                    {"", 0, 0},
    {"DuplexIndex", 2, 8},       {"HeaderColor", 4, 3376},      {"HeaderColorIndex", 2, 3380},
    {"Side2", 2, 330},           {"TonerSavingMode", 2, 1950},  {"ScreenType", 2, 1948},
    {"Duplex", 2, 6},            {"ColorMode", 2, 4},           {"", 0, 0},
    {"ImageAdjustMode", 2, 854}, {"ImageType", 4, 856},         {"ApplyElements", 2, 860},
    {"DocumentElement", 2, 862}, {"Brightness", 8, 864},        {"Constrast", 8, 872},
    {"AdjustBalance", 2, 888},   {"TargetColor", 2, 890},       {"Highlights", 8, 892},
    {"Midtones", 8, 900},        {"Shadows", 8, 908},           {"Profile", 2, 916},
    {"ColorTemperature", 2, 918}, {"GammaCorrection", 2, 920},  {"Monitor", 512, 924},
    {"InputImage", 512, 1436},   {"Saturation", 8, 880},        {"ImageInputIndex", 2, 922},
    {"Mismatch", 2, 308},        {"Rotate180", 2, 1952},        {"Mirror", 2, 1954},
    {"Thickness", 2, 1956},      {"Negative", 2, 1958},
};

const HRESULT kSizeMismatch = static_cast<HRESULT>(0x8007007A);

// Fills the private part with a pattern in which every byte says where it is.
void FillPattern(PrivateDevmode& priv) {
    for (size_t i = 0; i < sizeof(priv); ++i) Bytes(&priv)[i] = static_cast<BYTE>(i * 7 + 3);
}

TEST(DevmodeKeyTable, EverySlotHoldsItsKeySizeAndOffset) {
    auto context = MakeContext();
    memset(context->keyTable, 0xCC, sizeof(context->keyTable));
    BuildDevmodeKeyTable(context.get());
    for (int i = 0; i < 77; ++i) {
        SCOPED_TRACE("slot " + std::to_string(i));
        BYTE expected[28] = {};
        memcpy(expected, kSlots[i].name, strlen(kSlots[i].name));
        WriteInt(expected, 20, 4, kSlots[i].size);
        WriteInt(expected, 24, 4, kSlots[i].offset);
        EXPECT_EQ(memcmp(&context->keyTable[i], expected, 28), 0) << context->keyTable[i].name;
    }
}

TEST(DevmodeKeyTable, EveryKeyReadsAndWritesItsOwnBytes) {
    auto context = MakeContext();
    for (const Slot& slot : kSlots) {
        if (!slot.name[0]) continue;
        SCOPED_TRACE(slot.name);
        FillPattern(context->devmode.priv);
        std::vector<BYTE> buffer(slot.size, 0xEE);
        ASSERT_EQ(DevmodeGetValueByKey(context.get(), slot.name, buffer.data(), slot.size), S_OK);
        EXPECT_EQ(memcmp(buffer.data(), Bytes(&context->devmode.priv) + slot.offset, slot.size), 0);

        PrivateDevmode before = context->devmode.priv;
        for (int i = 0; i < slot.size; ++i) buffer[i] = static_cast<BYTE>(0x80 + i);
        ASSERT_EQ(DevmodeSetValueByKey(context.get(), slot.name, buffer.data(), slot.size), S_OK);
        PrivateDevmode expected = before;
        memcpy(Bytes(&expected) + slot.offset, buffer.data(), slot.size);
        EXPECT_TRUE(DifferingOffsets(&context->devmode.priv, &expected, sizeof(expected)).empty());
    }
}

TEST(DevmodeKeyTable, ScaleRadioWithTwoByteBufferIsRefusedAndNothingCopied) {
    auto context = MakeContext();
    context->devmode.priv.ScaleRadio = 150;
    BYTE buffer[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(DevmodeGetValueByKey(context.get(), "ScaleRadio", buffer, 2), kSizeMismatch);
    EXPECT_EQ(DevmodeGetValueByKey(context.get(), "ScaleRadio", buffer, 8), kSizeMismatch);
    for (BYTE b : buffer) EXPECT_EQ(b, 0xEE);

    const PrivateDevmode before = context->devmode.priv;
    const INT32 value = 200;
    EXPECT_EQ(DevmodeSetValueByKey(context.get(), "ScaleRadio", &value, 2), kSizeMismatch);
    EXPECT_TRUE(DifferingOffsets(&context->devmode.priv, &before, sizeof(before)).empty());
}

TEST(DevmodeKeyTable, KeysMatchExactlyAndCaseSensitively) {
    auto context = MakeContext();
    INT32 value = 0x11223344;
    const PrivateDevmode before = context->devmode.priv;
    for (const char* key : {"scaleradio", "SCALERADIO", "ScaleRadio ", "Scale", "", "AdjustPrintPositionX",
                            "AdjustPrintPosition and more"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(DevmodeGetValueByKey(context.get(), key, &value, 4), E_INVALIDARG);
        EXPECT_EQ(value, 0x11223344);
        EXPECT_EQ(DevmodeSetValueByKey(context.get(), key, &value, 4), E_INVALIDARG);
    }
    EXPECT_EQ(DevmodeGetValueByKey(context.get(), nullptr, &value, 4), E_INVALIDARG);
    EXPECT_TRUE(DifferingOffsets(&context->devmode.priv, &before, sizeof(before)).empty());
}

TEST(DevmodeKeyTable, FirstMatchingSlotWins) {
    auto context = MakeContext();
    // A second "Negative" in the empty slot 3, ahead of the real one in slot 76.
    strcpy(context->keyTable[3].name, "Negative");
    context->keyTable[3].size = 2;
    context->keyTable[3].offset = 10;
    context->devmode.priv.OppositeSide = 7;
    context->devmode.priv.Negative = 1;
    INT16 value = 0;
    ASSERT_EQ(DevmodeGetValueByKey(context.get(), "Negative", &value, 2), S_OK);
    EXPECT_EQ(value, 7);
}

TEST(DevmodeKeyTable, MissingContextPrivatePartOrBufferIsReported) {
    INT16 value = 5;
    EXPECT_EQ(DevmodeGetValueByKey(nullptr, "Duplex", &value, 2), E_PENDING);
    EXPECT_EQ(DevmodeSetValueByKey(nullptr, "Duplex", &value, 2), E_PENDING);
    auto context = MakeContext();
    EXPECT_EQ(DevmodeGetValueByKey(context.get(), "Duplex", nullptr, 2), E_INVALIDARG);
    EXPECT_EQ(DevmodeSetValueByKey(context.get(), "Duplex", nullptr, 2), E_INVALIDARG);
    context->priv = nullptr;
    EXPECT_EQ(DevmodeGetValueByKey(context.get(), "Duplex", &value, 2), E_FAIL);
    EXPECT_EQ(DevmodeSetValueByKey(context.get(), "Duplex", &value, 2), E_FAIL);
    EXPECT_EQ(value, 5);
}

// A slot that points outside the private part is never followed.
TEST(DevmodeKeyTable, SlotOutsideThePrivatePartIsRefused) {
    auto context = MakeContext();
    context->keyTable[0].offset = 4862;  // OutputSize, 4 bytes, would end past 4864
    INT32 value = 0;
    EXPECT_EQ(DevmodeGetValueByKey(context.get(), "OutputSize", &value, 4), E_FAIL);
    EXPECT_EQ(DevmodeSetValueByKey(context.get(), "OutputSize", &value, 4), E_FAIL);
}

}  // namespace
