// Documents, pages and escapes on a printer device, and the collated copies
// the engine plays at the end of a document. The model is in document.h.
#include "win32k/document.h"

#include <algorithm>
#include <cstring>

#include "win32k/driver.h"

namespace w32 {

namespace {

// A document or page the driver refuses without saying why.
constexpr DWORD kRefusedWithoutReason = ERROR_GEN_FAILURE;

// Collated copies in all that the settings ask for (see document.h); 1 for
// anything else.
unsigned CollatedCopies(const std::vector<BYTE>& settings) {
    constexpr size_t kNeeded = offsetof(DEVMODEW, dmCollate) + sizeof(short);
    if (settings.size() < kNeeded) return 1;
    DEVMODEW dm{};
    std::memcpy(&dm, settings.data(), std::min(settings.size(), sizeof(dm)));
    if (dm.dmSize < kNeeded) return 1;
    if ((dm.dmFields & (DM_COPIES | DM_COLLATE)) != (DM_COPIES | DM_COLLATE)) return 1;
    if (dm.dmCollate != DMCOLLATE_TRUE || dm.dmCopies <= 1) return 1;
    return unsigned(dm.dmCopies);
}

bool Fail(DWORD error) {
    SetLastError(error);
    return false;
}

// The SURFOBJ the driver's escapes get: the surface's, or for an
// information context one that only names the PDEV.
SURFOBJ* EscapeSurface(const PrinterDevice& device, SURFOBJ& standIn) {
    if (SURFOBJ* surface = device.SurfaceObject()) return surface;
    const EnginePdev& pdev = *device.pdev;
    standIn = SURFOBJ{};
    standIn.dhpdev = pdev.dhpdev;
    standIn.hdev = pdev.Hdev();
    standIn.sizlBitmap = {LONG(pdev.gdiInfo.ulHorzRes), LONG(pdev.gdiInfo.ulVertRes)};
    standIn.iType = STYPE_DEVICE;
    return &standIn;
}

bool CallStartDoc(PrinterDevice& device, EngineDocument& document) {
    SURFOBJ* surface = device.SurfaceObject();
    if (!surface) return Fail(ERROR_INVALID_HANDLE);
    auto start = device.driver->Callback<PFN_DrvStartDoc>(INDEX_DrvStartDoc);
    if (!start) return true;
    BOOL accepted;
    DWORD error = ERROR_SUCCESS;
    {
        DriverCall call(device);
        accepted = start(surface, document.named ? document.name.data() : nullptr, document.jobId);
        if (!accepted) error = DriverError(kRefusedWithoutReason);
    }
    RecordDdiCall("DrvStartDoc", device.pdev.get(), nullptr, document.jobId);
    return accepted || Fail(error);
}

// DrvStartPage or DrvSendPage.
bool CallPageCallback(PrinterDevice& device, ULONG index, const char* function) {
    SURFOBJ* surface = device.SurfaceObject();
    if (!surface) return Fail(ERROR_INVALID_HANDLE);
    auto callback = device.driver->Callback<PFN_DrvStartPage>(index);
    if (!callback) return true;
    BOOL accepted;
    DWORD error = ERROR_SUCCESS;
    {
        DriverCall call(device);
        accepted = callback(surface);
        if (!accepted) error = DriverError(kRefusedWithoutReason);
    }
    RecordDdiCall(function, device.pdev.get());
    return accepted || Fail(error);
}

bool CallEndDoc(PrinterDevice& device, FLONG flags) {
    SURFOBJ* surface = device.SurfaceObject();
    if (!surface) return Fail(ERROR_INVALID_HANDLE);
    auto end = device.driver->Callback<PFN_DrvEndDoc>(INDEX_DrvEndDoc);
    if (!end) return true;
    BOOL accepted;
    DWORD error = ERROR_SUCCESS;
    {
        DriverCall call(device);
        accepted = end(surface, flags);
        if (!accepted) error = DriverError(kRefusedWithoutReason);
    }
    RecordDdiCall("DrvEndDoc", device.pdev.get(), nullptr, flags);
    return accepted || Fail(error);
}

// DrvEscape on buffers the engine owns. The last error is the driver's.
ULONG CallEscape(PrinterDevice& device, ULONG code, std::vector<BYTE>& input, std::vector<BYTE>& output) {
    auto escape = device.driver->Callback<PFN_DrvEscape>(INDEX_DrvEscape);
    if (!escape) return 0;
    SURFOBJ standIn;
    SURFOBJ* surface = EscapeSurface(device, standIn);
    ULONG result;
    {
        DriverCall call(device);
        result = escape(surface, code, ULONG(input.size()), input.empty() ? nullptr : input.data(),
                        ULONG(output.size()), output.empty() ? nullptr : output.data());
    }
    const DWORD error = GetLastError();
    RecordDdiCall("DrvEscape", device.pdev.get(), nullptr, code);
    SetLastError(error);
    return result;
}

ULONG CallDrawEscape(PrinterDevice& device, ULONG code, std::vector<BYTE>& input) {
    auto escape = device.driver->Callback<PFN_DrvDrawEscape>(INDEX_DrvDrawEscape);
    if (!escape) return 0;
    SURFOBJ standIn;
    SURFOBJ* surface = EscapeSurface(device, standIn);
    RECTL bounds{0, 0, surface->sizlBitmap.cx, surface->sizlBitmap.cy};
    ULONG result;
    {
        DriverCall call(device);
        result = escape(surface, code, nullptr, &bounds, ULONG(input.size()), input.empty() ? nullptr : input.data());
    }
    const DWORD error = GetLastError();
    RecordDdiCall("DrvDrawEscape", device.pdev.get(), nullptr, code);
    SetLastError(error);
    return result;
}

// The document being recorded for further copies; null when none is.
EngineDocument* Recording(PrinterDevice& device) {
    EngineDocument* document = device.document.get();
    return document && document->copies > 1 && !document->replaying ? document : nullptr;
}

void Record(EngineDocument& document, EngineDocument::EventKind kind, ULONG code = 0, const void* bytes = nullptr,
            ULONG size = 0, ULONG outputSize = 0) {
    EngineDocument::Event event{kind, code, outputSize, document.data.size(), size};
    if (size) {
        const BYTE* begin = static_cast<const BYTE*>(bytes);
        document.data.insert(document.data.end(), begin, begin + size);
    }
    document.events.push_back(event);
}

std::vector<BYTE> RecordedBytes(const EngineDocument& document, const EngineDocument::Event& event) {
    auto begin = document.data.begin() + std::ptrdiff_t(event.offset);
    return std::vector<BYTE>(begin, begin + event.size);
}

// Gives the device a PDEV enabled with `settings` (empty: none).
bool ResetTo(PrinterDevice& device, const std::vector<BYTE>& settings) {
    return ResetPrinterDevice(device, settings.empty() ? nullptr : reinterpret_cast<const DEVMODEW*>(settings.data()));
}

bool PlayEvent(PrinterDevice& device, const EngineDocument& document, const EngineDocument::Event& event) {
    using Kind = EngineDocument::EventKind;
    switch (event.kind) {
        case Kind::StartPage: return CallPageCallback(device, INDEX_DrvStartPage, "DrvStartPage");
        case Kind::SendPage: return CallPageCallback(device, INDEX_DrvSendPage, "DrvSendPage");
        case Kind::Escape: {
            if (!device.pdev) return Fail(ERROR_INVALID_HANDLE);
            std::vector<BYTE> input = RecordedBytes(document, event);
            std::vector<BYTE> scratch(event.outputSize);
            CallEscape(device, event.code, input, scratch);
            return true;
        }
        case Kind::DrawEscape: {
            if (!device.pdev) return Fail(ERROR_INVALID_HANDLE);
            std::vector<BYTE> input = RecordedBytes(document, event);
            CallDrawEscape(device, event.code, input);
            return true;
        }
        case Kind::Reset: return ResetTo(device, RecordedBytes(document, event));
    }
    return Fail(ERROR_INVALID_DATA);
}

// Plays the document once for each further copy; false with the last error
// at the first failure.
bool PlayFurtherCopies(PrinterDevice& device, EngineDocument& document) {
    document.replaying = true;
    bool played = true;
    for (unsigned copy = 2; played && copy <= document.copies; ++copy) {
        played = CallStartDoc(device, document);
        if (played && device.pdev->devMode != document.startSettings) played = ResetTo(device, document.startSettings);
        for (size_t i = 0; played && i < document.events.size(); ++i)
            played = PlayEvent(device, document, document.events[i]);
    }
    document.replaying = false;
    return played;
}

}  // namespace

bool StartDocument(PrinterDevice& device, LPCWSTR name, DWORD jobId) {
    std::lock_guard lock(EngineLock());
    if (device.document) return Fail(ERROR_INVALID_PRINTER_STATE);
    if (!device.SurfaceObject()) return Fail(ERROR_INVALID_HANDLE);
    auto document = std::make_shared<EngineDocument>();
    document->jobId = jobId;
    document->named = name != nullptr;
    if (name) document->name.assign(name, name + std::char_traits<WCHAR>::length(name));
    document->name.push_back(0);
    document->copies = CollatedCopies(device.pdev->devMode);
    if (document->copies > 1) document->startSettings = device.pdev->devMode;
    if (!CallStartDoc(device, *document)) return false;
    device.document = std::move(document);
    return true;
}

bool StartDocPage(PrinterDevice& device) {
    std::lock_guard lock(EngineLock());
    EngineDocument* document = device.document.get();
    if (!document) return Fail(ERROR_SPL_NO_STARTDOC);
    if (document->pageOpen) return Fail(ERROR_INVALID_PRINTER_STATE);
    if (!CallPageCallback(device, INDEX_DrvStartPage, "DrvStartPage")) return false;
    document->pageOpen = true;
    if (EngineDocument* recording = Recording(device)) Record(*recording, EngineDocument::EventKind::StartPage);
    return true;
}

bool SendDocPage(PrinterDevice& device) {
    std::lock_guard lock(EngineLock());
    EngineDocument* document = device.document.get();
    if (!document) return Fail(ERROR_SPL_NO_STARTDOC);
    if (!document->pageOpen) return Fail(ERROR_INVALID_PRINTER_STATE);
    document->pageOpen = false;
    if (EngineDocument* recording = Recording(device)) Record(*recording, EngineDocument::EventKind::SendPage);
    return CallPageCallback(device, INDEX_DrvSendPage, "DrvSendPage");
}

DocumentEnd EndDocument(PrinterDevice& device, bool abort) {
    std::lock_guard lock(EngineLock());
    std::shared_ptr<EngineDocument> document = device.document;
    if (!document) {
        SetLastError(ERROR_SPL_NO_STARTDOC);
        return DocumentEnd::NoDocument;
    }
    document->pageOpen = false;
    if (abort) {
        device.document = nullptr;
        if (device.SurfaceObject()) CallEndDoc(device, ED_ABORTDOC);
        return DocumentEnd::Aborted;
    }
    if (!device.SurfaceObject()) {
        device.document = nullptr;
        SetLastError(ERROR_INVALID_HANDLE);
        return DocumentEnd::Aborted;
    }
    if (document->copies > 1 && !PlayFurtherCopies(device, *document)) {
        const DWORD error = GetLastError();
        device.document = nullptr;
        if (device.SurfaceObject()) CallEndDoc(device, ED_ABORTDOC);
        SetLastError(error);
        return DocumentEnd::Aborted;
    }
    device.document = nullptr;
    return CallEndDoc(device, 0) ? DocumentEnd::Ended : DocumentEnd::Refused;
}

bool DeviceEscape(PrinterDevice& device, ULONG code, ULONG inputSize, const void* input, ULONG outputSize,
                  void* output, ULONG& result) {
    std::lock_guard lock(EngineLock());
    result = 0;
    if (!device.pdev) return Fail(ERROR_INVALID_HANDLE);
    const BYTE* in = static_cast<const BYTE*>(input);
    BYTE* out = static_cast<BYTE*>(output);
    std::vector<BYTE> inputCopy(in, in + (in ? inputSize : 0));
    std::vector<BYTE> outputCopy(out, out + (out ? outputSize : 0));
    if (EngineDocument* recording = Recording(device); recording && code != QUERYESCSUPPORT)
        Record(*recording, EngineDocument::EventKind::Escape, code, inputCopy.data(), ULONG(inputCopy.size()),
               ULONG(outputCopy.size()));
    result = CallEscape(device, code, inputCopy, outputCopy);
    if (!outputCopy.empty()) std::memcpy(out, outputCopy.data(), outputCopy.size());
    return true;
}

bool DeviceDrawEscape(PrinterDevice& device, ULONG code, ULONG inputSize, const void* input, ULONG& result) {
    std::lock_guard lock(EngineLock());
    result = 0;
    if (!device.pdev) return Fail(ERROR_INVALID_HANDLE);
    const BYTE* in = static_cast<const BYTE*>(input);
    std::vector<BYTE> inputCopy(in, in + (in ? inputSize : 0));
    if (EngineDocument* recording = Recording(device); recording && code != QUERYESCSUPPORT)
        Record(*recording, EngineDocument::EventKind::DrawEscape, code, inputCopy.data(), ULONG(inputCopy.size()));
    result = CallDrawEscape(device, code, inputCopy);
    return true;
}

void NoteDeviceReset(PrinterDevice& device) {
    std::lock_guard lock(EngineLock());
    EngineDocument* recording = Recording(device);
    if (!recording || !device.pdev) return;
    const std::vector<BYTE>& settings = device.pdev->devMode;
    Record(*recording, EngineDocument::EventKind::Reset, 0, settings.data(), ULONG(settings.size()));
}

}  // namespace w32
