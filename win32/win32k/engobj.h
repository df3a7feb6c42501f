// The graphics engine's objects: surfaces (device surfaces and engine
// bitmaps), palettes and PDEVs, in one table keyed by the handles the engine
// gives out (HSURF, HBITMAP, HPALETTE, HDEV). Handles are never reused, so a
// stale one is refused rather than taken for a newer object.
//
// Every object remembers the device (printer DC) whose driver callback was
// running when it was made; what a driver leaves behind is freed with its
// device.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace w32 {

struct DeviceFontFace;  // win32k/devicefont.h

// Held while the engine changes its tables and while it runs a device's
// driver callbacks. Recursive: a callback calls Eng services.
std::recursive_mutex& EngineLock();

enum class EngineObjectType : BYTE {
    Surface = 0x05,  // HSURF and HBITMAP
    Palette = 0x08,
    Pdev = 0x70,  // HDEV
};

struct EngineObject {
    explicit EngineObject(EngineObjectType kind) : type(kind) {}
    virtual ~EngineObject() = default;
    const EngineObjectType type;
    uintptr_t handle = 0;
    uint64_t owner = 0;  // the device it was made for; 0 for none
};

struct EnginePalette;
struct PrinterDevice;

// Bytes that start as zero, taken with calloc: the system hands a large
// block out as zeroed pages on first touch, so a page-sized bitmap or a
// window's surface costs only the memory that is drawn into, not a pass
// clearing all of it.
class ZeroedBytes {
public:
    // False, with nothing kept, when the memory cannot be had.
    bool Allocate(size_t size) {
        BYTE* taken = static_cast<BYTE*>(std::calloc(std::max<size_t>(size, 1), 1));
        if (!taken) return false;
        bytes_.reset(taken);
        size_ = size;
        return true;
    }
    BYTE* data() const { return bytes_.get(); }
    size_t size() const { return size_; }

private:
    struct Free {
        void operator()(BYTE* bytes) const { std::free(bytes); }
    };
    std::unique_ptr<BYTE, Free> bytes_;
    size_t size_ = 0;
};

struct EngineSurface : EngineObject {
    EngineSurface() : EngineObject(EngineObjectType::Surface) {}
    SURFOBJ so{};
    FLONG hooks = 0;       // from EngAssociateSurface
    ZeroedBytes memory;    // the bits of an engine-allocated bitmap
    unsigned locks = 0;        // EngLockSurface calls not yet unlocked
    // The colours of the pixels of a bitmap GDI made (a memory DC's bitmap,
    // a DIB section, a program's DIB); null for the device's own format.
    std::shared_ptr<EnginePalette> palette;
};

struct EnginePalette : EngineObject {
    EnginePalette() : EngineObject(EngineObjectType::Palette) {}
    ULONG mode = 0;             // PAL_*
    std::vector<ULONG> colors;  // PAL_INDEXED: the entries, 0x00BBGGRR
    FLONG redMask = 0, greenMask = 0, blueMask = 0;  // PAL_BITFIELDS
};

// One PDEV of a driver: what DrvEnablePDEV made and answered. Its handle is
// the HDEV the driver is given.
struct EnginePdev : EngineObject {
    EnginePdev() : EngineObject(EngineObjectType::Pdev) {}
    HDEV Hdev() const { return reinterpret_cast<HDEV>(handle); }
    DHPDEV dhpdev = nullptr;
    HSURF surface = nullptr;  // from DrvEnableSurface; null for an information context
    GDIINFO gdiInfo{};
    DEVINFO devInfo{};
    HSURF patterns[HS_DDI_MAX] = {};  // the driver's hatch surfaces, null where it has none
    std::vector<BYTE> devMode;        // the settings it was enabled with; empty for none
    std::u16string deviceName;        // the name it was enabled with
    // The driver's device fonts (win32k/devicefont.h), once asked for.
    std::optional<std::vector<std::shared_ptr<const DeviceFontFace>>> deviceFonts;
    PrinterDevice* device = nullptr;  // the device it belongs to, whose driver draws on its surface
};

// Adds an object, owned by the device whose callback runs on this thread,
// and gives its handle.
uintptr_t InsertEngineObject(std::shared_ptr<EngineObject> object);
// Null for an unknown handle or one of another type.
std::shared_ptr<EngineObject> LookupEngineObject(const void* handle, EngineObjectType type);
bool RemoveEngineObject(const void* handle, EngineObjectType type);
// Removes the objects a device still owns; gives their number.
size_t FreeEngineObjectsOwnedBy(uint64_t owner);

std::shared_ptr<EngineSurface> LookupSurface(HSURF surface);
std::shared_ptr<EnginePalette> LookupPalette(HPALETTE palette);
std::shared_ptr<EnginePdev> LookupPdev(HDEV hdev);

// The device whose driver callback runs on this thread; 0 outside one.
uint64_t CurrentEngineOwner();

// While it lives, the engine objects made on this thread belong to `owner`.
class EngineOwnerScope {
public:
    explicit EngineOwnerScope(uint64_t owner);
    ~EngineOwnerScope();
    EngineOwnerScope(const EngineOwnerScope&) = delete;
    EngineOwnerScope& operator=(const EngineOwnerScope&) = delete;

private:
    uint64_t saved_;
};

}  // namespace w32
