// The user's saved settings in the settings file: favourites and the current
// settings (UiParamStore), watermarks (WatermarkStore) and custom paper sizes
// (CustomSizeStore), each under "cfgobj\UIParam\<container>". A store keeps
// no state besides its type: every operation loads the file afresh and, when
// it changed something, saves the file again (atomically). Results are 1 for
// success and 0 for failure; nothing shows a message.
#pragma once
#include <windows.h>

#include "pcl6/intrface/privdevmode.h"
#include "ui/ui/cfgfile.h"
#include "ui/ui/uicontext.h"

// The longest user-visible name of a favourite, watermark or paper size.
#define SETTINGS_NAME_CHARS 32
// The most names a store lists.
#define SETTINGS_MAX_NAMES 16
// A favourite: the private part, the public DEVMODE, then reserved bytes.
#define FAVORITE_RECORD_SIZE 5596

// One name of a store's list. Names the stores write have at most 32
// characters; the buffer holds any name the file can carry.
typedef WCHAR SettingsName[CFG_NAME_CHARS];

// The settings file of this user and driver:
// <application data>\Printer\<prefix>\<prefix>settings.dat, with the two
// folders created when missing; the bare file name when the application-data
// folder cannot be found. FALSE when the driver prefix is not known or the
// path does not fit 260 characters.
BOOL GetSettingsFilePath(LPWSTR buffer);

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Stores the record under `name`; an entry of that name is replaced and
    // the record goes to the end of the list.
    virtual INT Save(LPCWSTR name, const void* record, INT size) = 0;
    virtual INT Delete(LPCWSTR name) = 0;
    virtual INT Load(LPCWSTR name, void* out, INT size) = 0;
    virtual INT SaveCurrent(LPCWSTR name, const void* record) = 0;
    // The first `count` names in list order; without a buffer, how many there are.
    virtual INT ListNames(SettingsName* names, INT count) = 0;
    // Makes sure the file and the store's containers exist.
    virtual INT EnsureFile() = 0;
    INT GetNameCount() { return ListNames(nullptr, 0); }
    INT GetMaxNames() const { return SETTINGS_MAX_NAMES; }

protected:
    explicit SettingsStore(LPCWSTR container) : container_(container) {}
    // Saves `size` bytes of `record` under `name` in the container.
    INT SaveRecord(LPCWSTR name, const void* record, INT size);
    // Copies the entry `name` into `out` when it holds exactly `size` bytes.
    INT LoadRecord(LPCWSTR name, void* out, INT size);
    INT DeleteRecord(LPCWSTR name);
    INT ListRecordNames(SettingsName* names, INT count);
    // Creates the objects up to "cuspapersetting", and "watermarksetting" too
    // when asked.
    static INT EnsureObjects(BOOL withWatermarks);

    LPCWSTR container_;
};

// Favourites ("savesetting") and the current settings ("cursetting"). The
// records passed to Save, Load and SaveCurrent are UiContext pointers.
// A favourite read back is checked before it reaches the context: the private
// part is repaired, strings of the public part end inside their fields, and
// public values out of range take the defaults.
class UiParamStore : public SettingsStore {
public:
    UiParamStore() : SettingsStore(u"savesetting") {}
    INT Save(LPCWSTR name, const void* context, INT size) override;
    INT Delete(LPCWSTR name) override;
    INT Load(LPCWSTR name, void* context, INT size) override;
    INT SaveCurrent(LPCWSTR name, const void* context) override;
    INT ListNames(SettingsName* names, INT count) override;
    INT EnsureFile() override;
};

// Watermark records ("watermarksetting"); a record read back is repaired as
// the private part's watermark is.
class WatermarkStore : public SettingsStore {
public:
    WatermarkStore() : SettingsStore(u"watermarksetting") {}
    INT Save(LPCWSTR name, const void* record, INT size) override;
    INT Delete(LPCWSTR name) override;
    INT Load(LPCWSTR name, void* record, INT size) override;
    INT SaveCurrent(LPCWSTR, const void*) override { return 0; }
    INT ListNames(SettingsName* names, INT count) override;
    INT EnsureFile() override;
};

// Custom paper sizes ("cuspapersetting"), 72-byte CustomPaperRecords; a record
// read back is repaired as the private part's paper records are.
class CustomSizeStore : public SettingsStore {
public:
    CustomSizeStore() : SettingsStore(u"cuspapersetting") {}
    INT Save(LPCWSTR name, const void* record, INT size) override;
    INT Delete(LPCWSTR name) override;
    INT Load(LPCWSTR name, void* record, INT size) override;
    INT SaveCurrent(LPCWSTR, const void*) override { return 0; }
    INT ListNames(SettingsName* names, INT count) override;
    INT EnsureFile() override;
};

// A counted handle on a heap store: the handles on one store share a count in
// a process-wide map (guarded by a lock), and the last one released destroys
// the store. A handle also releases itself when it goes out of scope.
class StoreRef {
public:
    StoreRef() = default;
    explicit StoreRef(SettingsStore* store);
    StoreRef(const StoreRef& other) : StoreRef(other.store_) {}
    StoreRef& operator=(const StoreRef& other);
    ~StoreRef() { Release(); }

    void Release();
    SettingsStore* get() const { return store_; }
    SettingsStore* operator->() const { return store_; }

    // How many handles share `store` (0 when none): for tests.
    static INT CountOf(const SettingsStore* store);

private:
    SettingsStore* store_ = nullptr;
};

// 1 when a saved custom size has the paper code `paperId` (taken as a signed
// 16-bit value); `out` then holds it. 0 otherwise (`out` holds the last record
// loaded).
INT FindCustomPaperById(INT paperId, CustomPaperRecord* out);
