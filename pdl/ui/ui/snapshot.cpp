// The settings snapshot: 24 options read from the context's public DEVMODE
// and private part, and the tracker's comparison modes.
#include "ui/ui/snapshot.h"

#include <cstring>

const SnapshotOption g_SnapshotOptionTable[SNAPSHOT_OPTION_COUNT] = {
    {0, "option_scale"},        {1, "option_papersize"},    {2, "option_paperwidth"}, {3, "option_paperheight"},
    {4, "option_duplex"},       {5, "option_copies"},       {6, "option_collect"},    {7, "option_Opposite"},
    {8, "option_resolution"},   {9, "option_papermidea"},   {10, "option_source"},    {11, "option_feedOrient"},
    {12, "option_watermark"},   {13, "option_nup"},         {14, "option_border"},    {15, "option_order"},
    {16, "option_ImgOrient"},   {17, "option_negative"},    {18, "option_tonerSaving"}, {19, "option_rotate180"},
    {20, "option_mirror"},      {21, "option_Thickness"},   {22, "option_UseSoftFont"}, {23, "option_SoftFontBMP"},
};

namespace {

const BYTE* Bytes(const void* field) { return static_cast<const BYTE*>(field); }

// Where each option lives in the context, in table order; false when the
// context lacks either part. The 32-bit fields are read by their first two
// bytes, their low 16 bits.
bool LiveFields(const UiContext* context, const BYTE* (&live)[SNAPSHOT_OPTION_COUNT]) {
    if (!context || !context->pub || !context->priv) return false;
    const DEVMODEW& pub = *context->pub;
    const PrivateDevmode& priv = *context->priv;
    const BYTE* fields[SNAPSHOT_OPTION_COUNT] = {
        Bytes(&priv.ScaleCopy),      Bytes(&pub.dmPaperSize),     Bytes(&pub.dmPaperWidth),
        Bytes(&pub.dmPaperLength),   Bytes(&pub.dmDuplex),        Bytes(&pub.dmCopies),
        Bytes(&pub.dmCollate),       Bytes(&priv.OppositeSide),   Bytes(&pub.dmPrintQuality),
        Bytes(&pub.dmMediaType),     Bytes(&priv.SourceTray),     Bytes(&priv.FeedOrient),
        Bytes(&priv.WatermarkData),  Bytes(&priv.MultipleUp),     Bytes(&priv.PageBorder),
        Bytes(&priv.PageOrder),      Bytes(&pub.dmOrientation),   Bytes(&priv.Negative),
        Bytes(&priv.TonerSavingMode), Bytes(&priv.Rotate180),     Bytes(&priv.Mirror),
        Bytes(&priv.Thickness),      Bytes(&priv.UseSoftFont),    Bytes(&priv.SoftFontBitmap),
    };
    std::memcpy(live, fields, sizeof(fields));
    return true;
}

INT16 Read16(const BYTE* field) {
    INT16 value;
    std::memcpy(&value, field, sizeof(value));
    return value;
}

}  // namespace

SettingsSnapshot::SettingsSnapshot(UiContext* context) { Recapture(context); }

void SettingsSnapshot::Aim(UiContext* context) {
    if (LiveFields(context, live_)) {
        context_ = context;
    } else {
        context_ = nullptr;
        std::memset(live_, 0, sizeof(live_));
    }
}

void SettingsSnapshot::Recapture(UiContext* context) {
    Aim(context);
    if (!context_) return;
    for (int i = 0; i < count_; ++i) {
        if (table_[i].id == SNAPSHOT_OPTION_WATERMARK)
            std::memcpy(&watermark_, live_[i], sizeof(watermark_));
        else
            values_[i] = Read16(live_[i]);
    }
}

bool SettingsSnapshot::IsChanged() const {
    if (!context_) return false;
    for (int i = 0; i < count_; ++i) {
        if (table_[i].id == SNAPSHOT_OPTION_WATERMARK) {
            if (std::memcmp(&watermark_, live_[i], sizeof(watermark_)) != 0) return true;
        } else if (values_[i] != Read16(live_[i])) {
            return true;
        }
    }
    return false;
}

void SettingsChangeTracker::Reset(UiContext* context) {
    if (snapshot_)
        snapshot_->Recapture(context);
    else
        snapshot_ = std::make_unique<SettingsSnapshot>(context);
}

INT32 SettingsChangeTracker::Compare(INT32 mode, UiContext* context) {
    if (mode_ == 0 || !snapshot_) {
        // Nothing to compare with yet: what is there now is the start.
        Reset(context);
        if (mode_ == 0) return TRACKER_CAPTURED;
    }
    // The snapshot is read against the context the caller holds, never a
    // context that may have been freed since it was captured.
    if (context && context != snapshot_->Context()) snapshot_->Aim(context);
    const bool changed = snapshot_->IsChanged();
    if (mode != mode_) return changed ? TRACKER_CHANGED_OTHER_MODE : TRACKER_UNCHANGED_OTHER_MODE;
    return changed ? TRACKER_CHANGED : TRACKER_UNCHANGED;
}

void SettingsChangeTracker::Capture(UiContext* context) {
    if (context) Reset(context);
}
