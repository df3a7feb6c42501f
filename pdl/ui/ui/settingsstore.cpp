// The settings stores over the settings file, the counted store handles and
// the custom paper lookup.
#include "ui/ui/settingsstore.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <shlobj.h>
#include <string>
#include <vector>

#include "ui/ui/contextdevmode.h"
#include "ui/ui/devmode.h"
#include "ui/ui/devmodemerge.h"
#include "ui/ui/resdll.h"

namespace {

struct CfgFileFree {
    void operator()(CfgFile* file) const { CfgFile_Free(file); }
};
using FilePtr = std::unique_ptr<CfgFile, CfgFileFree>;

const WCHAR kParamObject[] = u"UIParam";
const WCHAR kCurrentObject[] = u"cursetting";

bool NameFits(LPCWSTR name) { return name && lstrlenW(name) <= SETTINGS_NAME_CHARS; }

FilePtr LoadSettingsFile() {
    WCHAR path[MAX_PATH];
    if (!GetSettingsFilePath(path)) return nullptr;
    return FilePtr(CfgFile_Load(path));
}

// "cfgobj\UIParam\<container>", or none.
CfgObject* FindContainer(CfgFile* file, LPCWSTR container) {
    CfgObject* param = CfgObject_FindChild(file->root.get(), kParamObject, TRUE);
    return param ? CfgObject_FindChild(param, container, TRUE) : nullptr;
}

// Replaces the entry `name` of `container` with `size` bytes of `record`,
// appended at the end of the list.
bool PutRecord(CfgObject* container, LPCWSTR name, const void* record, INT size) {
    CfgObject_RemoveChild(container, name, TRUE);
    return CfgObject_AddChild(container, name, "binary", record, size) != nullptr;
}

// Repairs a watermark or paper record as the private part's own are: the
// record is checked inside a private part of defaults.
void RepairWatermark(WatermarkRecord* mark) {
    auto scratch = std::make_unique<PrivateDevmode>();
    SetPrivateDevmodeDefaults(scratch.get(), nullptr);
    scratch->WatermarkData = *mark;
    ValidatePrivateDevmode(scratch.get());
    *mark = scratch->WatermarkData;
}

void RepairCustomPaper(CustomPaperRecord* paper) {
    auto scratch = std::make_unique<PrivateDevmode>();
    SetPrivateDevmodeDefaults(scratch.get(), nullptr);
    scratch->CustomPaperSize[0] = *paper;
    ValidatePrivateDevmode(scratch.get());
    *paper = scratch->CustomPaperSize[0];
}

// The settings a favourite record gives `context`, checked: the private part
// repaired; the public part made of the context's public defaults with the
// favourite's fields taken as an incoming devmode's are, then the public
// fields that the pages read repaired as they read them. Strings end inside
// their fields. The result is written into `image` (private part first).
void CheckFavorite(const BYTE* record, const UiContext* context, BYTE* image) {
    auto loaded = std::make_unique<UiDevmode>();
    std::memcpy(&loaded->priv, record, PRIVATE_DEVMODE_SIZE);
    std::memcpy(&loaded->pub, record + PRIVATE_DEVMODE_SIZE, sizeof(DEVMODEW));
    ValidatePrivateDevmode(&loaded->priv);
    // The two strings the repair leaves as they are end inside their fields too.
    loaded->priv.FavoriteName[ARRAYSIZE(loaded->priv.FavoriteName) - 1] = 0;
    loaded->priv.OverlayFileName[ARRAYSIZE(loaded->priv.OverlayFileName) - 1] = 0;
    loaded->pub.dmDeviceName[CCHDEVICENAME - 1] = 0;
    loaded->pub.dmFormName[CCHFORMNAME - 1] = 0;
    // Its private part lies right behind its public part here.
    loaded->pub.dmSize = sizeof(DEVMODEW);
    loaded->pub.dmDriverExtra = PRIVATE_DEVMODE_SIZE;

    auto checked = std::make_unique<UiContext>();
    checked->priv = &checked->devmode.priv;
    checked->pub = &checked->devmode.pub;
    WCHAR device[CCHDEVICENAME];
    lstrcpynW(device, context->pub->dmDeviceName, CCHDEVICENAME);
    SetPublicDevmodeDefaults(checked->pub, device);
    checked->devmode.priv = loaded->priv;
    MergePublicFields(&checked->devmode, &loaded->pub);
    // The form name goes with the paper when the favourite's paper was taken.
    if (checked->pub->dmPaperSize == loaded->pub.dmPaperSize)
        lstrcpynW(checked->pub->dmFormName, loaded->pub.dmFormName, CCHFORMNAME);
    static const DWORD kRepairedOnRead[] = {DM_ORIENTATION, DM_COPIES, DM_DUPLEX, DM_COLLATE, DM_MEDIATYPE};
    SHORT value = 0;
    for (DWORD selector : kRepairedOnRead) DevmodeGetPublicField(checked.get(), selector, &value);
    // The pages offer 600 and 1200 dots per inch.
    if (checked->pub->dmPrintQuality != 600 && checked->pub->dmPrintQuality != 1200)
        checked->pub->dmPrintQuality = 600;
    StoreContextDevmode(checked.get(), image);
}

// The path of a damaged file kept aside when a new one replaces it.
bool SetAside(LPCWSTR path) {
    std::u16string aside = std::u16string(path) + u".bad";
    if (aside.size() < MAX_PATH && MoveFileExW(path, aside.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    return DeleteFileW(path) != FALSE;
}

// Every store operation loads, changes and rewrites the whole file; in this
// process they run one at a time, so that two sheets saving at once do not
// drop each other's change.
std::mutex& FileLock() {
    static std::mutex lock;
    return lock;
}

std::mutex& StoreMapLock() {
    static std::mutex lock;
    return lock;
}
std::map<SettingsStore*, INT>& StoreMap() {
    static std::map<SettingsStore*, INT> counts;
    return counts;
}

}  // namespace

BOOL GetSettingsFilePath(LPWSTR buffer) {
    if (!buffer) return FALSE;
    buffer[0] = 0;
    WCHAR prefix[UI_PATH_CHARS];
    if (!GetDriverBaseName(prefix) || !prefix[0]) return FALSE;
    std::u16string path = std::u16string(prefix) + u"settings.dat";
    WCHAR appData[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appData))) {
        std::u16string folder = std::u16string(appData) + u"\\Printer";
        CreateDirectoryW(folder.c_str(), nullptr);
        folder += u"\\" + std::u16string(prefix);
        CreateDirectoryW(folder.c_str(), nullptr);
        path = folder + u"\\" + path;
    }
    if (path.size() >= MAX_PATH) return FALSE;
    lstrcpynW(buffer, path.c_str(), MAX_PATH);
    return TRUE;
}

INT SettingsStore::SaveRecord(LPCWSTR name, const void* record, INT size) {
    if (!NameFits(name) || !record || size <= 0) return 0;
    std::lock_guard<std::mutex> guard(FileLock());
    FilePtr file = LoadSettingsFile();
    if (!file) return 0;
    CfgObject* container = FindContainer(file.get(), container_);
    if (!container || !PutRecord(container, name, record, size)) return 0;
    return CfgFile_Save(file.get()) ? 1 : 0;
}

INT SettingsStore::LoadRecord(LPCWSTR name, void* out, INT size) {
    if (!NameFits(name) || !out || size <= 0) return 0;
    std::lock_guard<std::mutex> guard(FileLock());
    FilePtr file = LoadSettingsFile();
    if (!file) return 0;
    CfgObject* container = FindContainer(file.get(), container_);
    CfgObject* entry = container ? CfgObject_FindChild(container, name, TRUE) : nullptr;
    if (!entry || entry->len != size) return 0;
    std::memcpy(out, entry->data.data(), static_cast<size_t>(size));
    return 1;
}

INT SettingsStore::DeleteRecord(LPCWSTR name) {
    if (!NameFits(name)) return 0;
    std::lock_guard<std::mutex> guard(FileLock());
    FilePtr file = LoadSettingsFile();
    if (!file) return 0;
    CfgObject* container = FindContainer(file.get(), container_);
    if (!container || !CfgObject_RemoveChild(container, name, TRUE)) return 0;
    return CfgFile_Save(file.get()) ? 1 : 0;
}

INT SettingsStore::ListRecordNames(SettingsName* names, INT count) {
    std::lock_guard<std::mutex> guard(FileLock());
    FilePtr file = LoadSettingsFile();
    if (!file) return 0;
    CfgObject* container = FindContainer(file.get(), container_);
    if (!container) return 0;
    if (!names) return container->childobjs;
    return CfgObject_ListChildNames(container, names, count);
}

INT SettingsStore::EnsureObjects(BOOL withWatermarks) {
    std::lock_guard<std::mutex> guard(FileLock());
    WCHAR path[MAX_PATH];
    if (!GetSettingsFilePath(path)) return 0;
    FilePtr file(CfgFile_Load(path));
    // A file without its version, or one that cannot be read as a settings
    // file, is replaced by a new default file; a damaged one is kept aside.
    if (!file && GetLastError() == ERROR_INVALID_DATA && SetAside(path)) file.reset(CfgFile_Load(path));
    if (file && !CfgObject_FindChild(file->root.get(), u"version", TRUE)) {
        file.reset();
        if (DeleteFileW(path)) file.reset(CfgFile_Load(path));
    }
    if (!file) return 0;
    CfgObject* root = file->root.get();
    auto ensure = [](CfgObject* parent, LPCWSTR name) -> CfgObject* {
        if (!parent) return nullptr;
        CfgObject* found = CfgObject_FindChild(parent, name, TRUE);
        return found ? found : CfgObject_AddChild(parent, name, "null", nullptr, 0);
    };
    CfgObject* param = ensure(root, kParamObject);
    bool all = ensure(param, u"savesetting") && ensure(param, kCurrentObject) && ensure(param, u"cuspapersetting");
    if (withWatermarks) all = ensure(param, u"watermarksetting") && all;
    if (!CfgFile_Save(file.get())) return 0;
    return all ? 1 : 0;
}

// Favourites.

INT UiParamStore::Save(LPCWSTR name, const void* context, INT) {
    std::vector<BYTE> record(FAVORITE_RECORD_SIZE, 0);
    if (!StoreContextDevmode(static_cast<const UiContext*>(context), record.data())) return 0;
    return SaveRecord(name, record.data(), FAVORITE_RECORD_SIZE);
}

INT UiParamStore::Delete(LPCWSTR name) { return DeleteRecord(name); }

INT UiParamStore::Load(LPCWSTR name, void* context, INT) {
    auto* target = static_cast<UiContext*>(context);
    if (!target || !target->priv || !target->pub) return 0;
    std::vector<BYTE> record(FAVORITE_RECORD_SIZE);
    if (!LoadRecord(name, record.data(), FAVORITE_RECORD_SIZE)) return 0;
    std::vector<BYTE> image(CONTEXT_DEVMODE_IMAGE_SIZE);
    CheckFavorite(record.data(), target, image.data());
    return LoadDevmodeIntoContext(target, image.data()) ? 1 : 0;
}

INT UiParamStore::SaveCurrent(LPCWSTR name, const void* context) {
    if (!NameFits(name)) return 0;
    std::vector<BYTE> record(FAVORITE_RECORD_SIZE, 0);
    if (!StoreContextDevmode(static_cast<const UiContext*>(context), record.data())) return 0;
    std::lock_guard<std::mutex> guard(FileLock());
    FilePtr file = LoadSettingsFile();
    if (!file) return 0;
    CfgObject* current = FindContainer(file.get(), kCurrentObject);
    if (!current) return 0;
    // One current entry: the one before goes.
    if (!current->children.empty()) {
        current->children.pop_back();
        current->childobjs = static_cast<INT32>(current->children.size());
    }
    if (!CfgObject_AddChild(current, name, "binary", record.data(), FAVORITE_RECORD_SIZE)) return 0;
    return CfgFile_Save(file.get()) ? 1 : 0;
}

INT UiParamStore::ListNames(SettingsName* names, INT count) { return ListRecordNames(names, count); }
INT UiParamStore::EnsureFile() { return EnsureObjects(FALSE); }

// Watermarks.

INT WatermarkStore::Save(LPCWSTR name, const void* record, INT size) { return SaveRecord(name, record, size); }
INT WatermarkStore::Delete(LPCWSTR name) { return DeleteRecord(name); }

INT WatermarkStore::Load(LPCWSTR name, void* record, INT size) {
    if (!LoadRecord(name, record, size)) return 0;
    if (size == sizeof(WatermarkRecord)) RepairWatermark(static_cast<WatermarkRecord*>(record));
    return 1;
}

INT WatermarkStore::ListNames(SettingsName* names, INT count) { return ListRecordNames(names, count); }
INT WatermarkStore::EnsureFile() { return EnsureObjects(TRUE); }

// Custom paper sizes.

INT CustomSizeStore::Save(LPCWSTR name, const void* record, INT size) {
    if (size != sizeof(CustomPaperRecord)) return 0;
    return SaveRecord(name, record, size);
}

INT CustomSizeStore::Delete(LPCWSTR name) { return DeleteRecord(name); }

INT CustomSizeStore::Load(LPCWSTR name, void* record, INT size) {
    if (size < static_cast<INT>(sizeof(CustomPaperRecord))) return 0;
    if (!LoadRecord(name, record, sizeof(CustomPaperRecord))) return 0;
    RepairCustomPaper(static_cast<CustomPaperRecord*>(record));
    return 1;
}

INT CustomSizeStore::ListNames(SettingsName* names, INT count) { return ListRecordNames(names, count); }
INT CustomSizeStore::EnsureFile() { return EnsureObjects(TRUE); }

// Counted handles.

StoreRef::StoreRef(SettingsStore* store) : store_(store) {
    if (!store_) return;
    std::lock_guard<std::mutex> guard(StoreMapLock());
    ++StoreMap()[store_];
}

StoreRef& StoreRef::operator=(const StoreRef& other) {
    if (store_ == other.store_) return *this;
    Release();
    store_ = other.store_;
    if (store_) {
        std::lock_guard<std::mutex> guard(StoreMapLock());
        ++StoreMap()[store_];
    }
    return *this;
}

void StoreRef::Release() {
    if (!store_) return;
    SettingsStore* doomed = nullptr;
    {
        std::lock_guard<std::mutex> guard(StoreMapLock());
        auto it = StoreMap().find(store_);
        if (it != StoreMap().end() && --it->second <= 0) {
            StoreMap().erase(it);
            doomed = store_;
        }
    }
    store_ = nullptr;
    delete doomed;
}

INT StoreRef::CountOf(const SettingsStore* store) {
    std::lock_guard<std::mutex> guard(StoreMapLock());
    auto it = StoreMap().find(const_cast<SettingsStore*>(store));
    return it == StoreMap().end() ? 0 : it->second;
}

INT FindCustomPaperById(INT paperId, CustomPaperRecord* out) {
    if (!out) return 0;
    CustomSizeStore store;
    INT count = store.GetNameCount();
    if (count <= 0) return 0;
    std::vector<SettingsName> names(static_cast<size_t>(count));
    count = store.ListNames(names.data(), count);
    const INT16 wanted = static_cast<INT16>(paperId);
    for (INT i = 0; i < count; ++i) {
        if (store.Load(names[i], out, sizeof(CustomPaperRecord)) && out->paperCode == wanted) return 1;
    }
    return 0;
}
