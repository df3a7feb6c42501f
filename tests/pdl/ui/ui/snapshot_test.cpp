// The settings snapshot and its tracker: which of the context's fields count
// as a change of the settings a favourite records, and the tracker's answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>

#include "devmode_test_support.h"
#include "ui/ui/snapshot.h"

using namespace devmode_test;

namespace {

// One field of the settings and a value it can change to. Public fields by
// their DEVMODEW member, private fields by their offset in the private part.
struct FieldCase {
    const char* name;
    bool isPublic;
    size_t offset;
    int width;
    long long value;
    bool counts;  // a field the snapshot holds
};

const FieldCase kFields[] = {
    {"scale copy", false, 1960, 2, 150, true},
    {"paper size", true, offsetof(DEVMODEW, dmPaperSize), 2, 5, true},
    {"paper width", true, offsetof(DEVMODEW, dmPaperWidth), 2, 1000, true},
    {"paper length", true, offsetof(DEVMODEW, dmPaperLength), 2, 1500, true},
    {"duplex", true, offsetof(DEVMODEW, dmDuplex), 2, 2, true},
    {"copies", true, offsetof(DEVMODEW, dmCopies), 2, 3, true},
    {"collate", true, offsetof(DEVMODEW, dmCollate), 2, 1, true},
    {"opposite side", false, 10, 2, 1, true},
    {"print quality", true, offsetof(DEVMODEW, dmPrintQuality), 2, 1200, true},
    {"media type", true, offsetof(DEVMODEW, dmMediaType), 4, 260, true},
    {"source tray", false, 300, 2, 2, true},
    {"feed orientation", false, 304, 2, 2, true},
    {"watermark type", false, 1964 + 2, 2, 1, true},
    {"pages per sheet", false, 284, 2, 4, true},
    {"page border", false, 288, 2, 1, true},
    {"page order", false, 286, 2, 3, true},
    {"orientation", true, offsetof(DEVMODEW, dmOrientation), 2, 2, true},
    {"negative", false, 1958, 2, 1, true},
    {"toner saving", false, 1950, 2, 2, true},
    {"rotate 180", false, 1952, 2, 1, true},
    {"mirror", false, 1954, 2, 1, true},
    {"thickness", false, 1956, 2, 2, true},
    {"use soft font", false, 4848, 4, 0, true},
    {"soft font as bitmap", false, 4852, 4, 1, true},
    // Fields a favourite does not record, and the high halves of the two
    // 32-bit options, which the snapshot reads as 16 bits.
    {"public scale", true, offsetof(DEVMODEW, dmScale), 2, 50, false},
    {"scale percent field", false, 280, 4, 200, false},
    {"y resolution", true, offsetof(DEVMODEW, dmYResolution), 2, 1200, false},
    {"favourite name", false, 340, 2, 'Q', false},
    {"use soft font high half", false, 4850, 2, 1, false},
    {"media type high half", true, offsetof(DEVMODEW, dmMediaType) + 2, 2, 1, false},
};

class SnapshotField : public testing::TestWithParam<FieldCase> {
protected:
    void SetUp() override {
        context_ = MakeContext();
        // A recognisable start: every field of the table holds its own value.
        WriteInt(context_->priv, 1960, 2, 100);
        WriteInt(context_->priv, 4848, 4, 1);
        context_->pub->dmCopies = 1;
    }
    void* Base(const FieldCase& field) {
        return field.isPublic ? static_cast<void*>(context_->pub) : static_cast<void*>(context_->priv);
    }
    std::unique_ptr<UiContext> context_;
};

TEST_P(SnapshotField, ChangeCountsOnlyForTheRecordedOptions) {
    const FieldCase& field = GetParam();
    SettingsChangeTracker tracker;
    tracker.SetMode(2);
    tracker.Reset(context_.get());
    ASSERT_EQ(tracker.Compare(2, context_.get()), TRACKER_UNCHANGED);

    const long long before = ReadInt(Base(field), field.offset, field.width);
    WriteInt(Base(field), field.offset, field.width, field.value);
    ASSERT_NE(ReadInt(Base(field), field.offset, field.width), before);
    EXPECT_EQ(tracker.Compare(2, context_.get()), field.counts ? TRACKER_CHANGED : TRACKER_UNCHANGED);
    EXPECT_EQ(tracker.Compare(3, context_.get()),
              field.counts ? TRACKER_CHANGED_OTHER_MODE : TRACKER_UNCHANGED_OTHER_MODE);

    // Put back, the settings are those captured again.
    WriteInt(Base(field), field.offset, field.width, before);
    EXPECT_EQ(tracker.Compare(2, context_.get()), TRACKER_UNCHANGED);
    EXPECT_EQ(tracker.Compare(3, context_.get()), TRACKER_UNCHANGED_OTHER_MODE);
}

INSTANTIATE_TEST_SUITE_P(Fields, SnapshotField, testing::ValuesIn(kFields));

TEST(SettingsSnapshot, OneByteOfTheWatermarkTextIsAChange) {
    auto context = MakeContext();
    WriteText(context->priv, 1964 + 70, u"Confidential");
    SettingsSnapshot snapshot(context.get());
    EXPECT_FALSE(snapshot.IsChanged());
    // The last character's high byte: no 16-bit option differs.
    BYTE* text = Bytes(context->priv) + 1964 + 70;
    text[2 * 11 + 1] = 0x01;
    EXPECT_TRUE(snapshot.IsChanged());
    text[2 * 11 + 1] = 0x00;
    EXPECT_FALSE(snapshot.IsChanged());
    // The record's last byte too (its grey level).
    Bytes(context->priv)[1964 + 815] ^= 0x80;
    EXPECT_TRUE(snapshot.IsChanged());
}

TEST(SettingsChangeTracker, UnarmedTrackerCapturesAndAnswersZero) {
    auto context = MakeContext();
    SettingsChangeTracker tracker;
    EXPECT_EQ(tracker.Snapshot(), nullptr);
    context->pub->dmCopies = 7;
    EXPECT_EQ(tracker.Compare(1, context.get()), TRACKER_CAPTURED);
    ASSERT_NE(tracker.Snapshot(), nullptr);
    // Still unarmed: a change is captured again, never reported.
    context->pub->dmCopies = 8;
    EXPECT_EQ(tracker.Compare(1, context.get()), TRACKER_CAPTURED);
    // Armed, the comparison starts from the copies captured last.
    tracker.SetMode(1);
    EXPECT_EQ(tracker.Compare(1, context.get()), TRACKER_UNCHANGED);
    context->pub->dmCopies = 7;
    EXPECT_EQ(tracker.Compare(1, context.get()), TRACKER_CHANGED);
}

TEST(SettingsChangeTracker, CaptureTakesTheGivenContextOnly) {
    auto context = MakeContext();
    SettingsChangeTracker tracker;
    tracker.SetMode(4);
    tracker.Reset(context.get());
    context->pub->dmCopies = 5;
    tracker.Capture(nullptr);  // nothing captured
    EXPECT_EQ(tracker.Compare(4, context.get()), TRACKER_CHANGED);
    tracker.Capture(context.get());
    EXPECT_EQ(tracker.Compare(4, context.get()), TRACKER_UNCHANGED);
}

// A snapshot compared with another context reads that context's fields,
// never those of the context it was captured from, which may be gone.
TEST(SettingsChangeTracker, ComparesWithTheContextItIsGiven) {
    auto first = MakeContext();
    first->pub->dmCopies = 2;
    SettingsChangeTracker tracker;
    tracker.SetMode(1);
    tracker.Reset(first.get());
    auto second = MakeContext();
    second->pub->dmCopies = 2;
    first.reset();
    EXPECT_EQ(tracker.Compare(1, second.get()), TRACKER_UNCHANGED);
    second->pub->dmCopies = 3;
    EXPECT_EQ(tracker.Compare(1, second.get()), TRACKER_CHANGED);
}

}  // namespace
