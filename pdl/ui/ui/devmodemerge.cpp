// Checks, negotiated copies and merges of devmodes that enter the user
// interface from applications, from the printer's stored settings and from
// the spooler.
#include "ui/ui/devmodemerge.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

#include "pcl6/intrface/util.h"
#include "ui/ui/devmode.h"
#include "ui/ui/papertable.h"

namespace {

// The bytes of a devmode's header up to and with dmDriverExtra: what every
// devmode must hold to say its own sizes.
constexpr DWORD kHeaderBytes = offsetof(DEVMODEW, dmFields);

// The dmSpecVersion values of the public sizes this DLL knows.
constexpr WORD kSize320 = 192;
constexpr WORD kSize400 = 216;
constexpr WORD kSize401 = 224;

// The only public size an incoming devmode may have.
constexpr WORD kPublicSize = sizeof(DEVMODEW);

const BYTE* PrivatePart(const DEVMODEW* devmode) { return reinterpret_cast<const BYTE*>(devmode) + devmode->dmSize; }

// Whether a devmode's public part holds the member at `offset` of `width`
// bytes: older, shorter devmodes end before the later members.
bool HoldsMember(const DEVMODEW* devmode, size_t offset, size_t width) { return offset + width <= devmode->dmSize; }
#define HOLDS(devmode, member) HoldsMember((devmode), offsetof(DEVMODEW, member), sizeof(DEVMODEW::member))

// The four values that say what a devmode is: kept across a copy or merge.
struct DevmodeShape {
    WORD specVersion;
    WORD driverVersion;
    WORD size;
    WORD driverExtra;

    DWORD TotalBytes() const { return DWORD(size) + driverExtra; }
};

DevmodeShape ShapeOf(const DEVMODEW* devmode) {
    return {CheckDevmodeVersion(devmode), devmode->dmDriverVersion, devmode->dmSize, devmode->dmDriverExtra};
}

void WriteShape(DEVMODEW* devmode, const DevmodeShape& shape) {
    devmode->dmSpecVersion = shape.specVersion;
    devmode->dmDriverVersion = shape.driverVersion;
    devmode->dmSize = shape.size;
    devmode->dmDriverExtra = shape.driverExtra;
}

// The paper's portrait size in tenths of a millimetre: a known code from the
// paper table or, for a custom code, from `priv`'s record of that code; any
// other code is the country's default paper.
void SetPaper(DEVMODEW* current, INT code, const PrivateDevmode* priv) {
    PaperMetrics metrics{};
    if (IsKnownPaperSize(code) && GetPaperMetrics(priv, code, DMORIENT_PORTRAIT, &metrics)) {
        current->dmPaperSize = SHORT(code);
        current->dmPaperWidth = SHORT(Dots600ToTenthMm(metrics.width));
        current->dmPaperLength = SHORT(Dots600ToTenthMm(metrics.height));
    } else if (IsA4Country()) {
        current->dmPaperSize = DMPAPER_A4;
        current->dmPaperWidth = 2100;
        current->dmPaperLength = 2970;
    } else {
        current->dmPaperSize = DMPAPER_LETTER;
        current->dmPaperWidth = 2159;
        current->dmPaperLength = 2794;
    }
}

// The incoming private part when it is one this driver wrote: its size is
// ours. Only then are its fields read.
const PrivateDevmode* IncomingPrivate(const DEVMODEW* incoming) {
    if (incoming->dmDriverExtra != PRIVATE_DEVMODE_SIZE) return nullptr;
    return reinterpret_cast<const PrivateDevmode*>(PrivatePart(incoming));
}

bool HasOurSignature(const PrivateDevmode* priv) {
    return std::memcmp(priv->signature, "PRIV", sizeof(priv->signature)) == 0;
}

}  // namespace

WORD CheckDevmodeVersion(const DEVMODEW* devmode) {
    if (!devmode) return 0;
    switch (devmode->dmSize) {
        case kSize320:
            return 0x320;
        case kSize400:
            return 0x400;
        case kSize401:
            return 0x401;
        default:
            return devmode->dmSpecVersion;
    }
}

DWORD CopyDevmodeNegotiated(DEVMODEW* destination, DWORD capacity, const DEVMODEW* source) {
    if (!destination || !source || capacity < kHeaderBytes) return 0;
    if (CheckDevmodeVersion(source) == 0 || CheckDevmodeVersion(destination) == 0) return 0;
    // A destination without a driver version takes the source's shape; the
    // result must still fit the destination's buffer.
    const DevmodeShape kept = destination->dmDriverVersion != 0 ? ShapeOf(destination) : ShapeOf(source);
    if (kept.size < kHeaderBytes || kept.TotalBytes() > capacity) return 0;

    const DWORD publicBytes = source->dmSize < kept.size ? source->dmSize : kept.size;
    std::memmove(destination, source, publicBytes);
    WriteShape(destination, kept);

    BYTE* destinationPrivate = reinterpret_cast<BYTE*>(destination) + kept.size;
    if (source->dmDriverExtra == kept.driverExtra) {
        std::memmove(destinationPrivate, PrivatePart(source), kept.driverExtra);
        return publicBytes + kept.driverExtra;
    }
    std::memset(destinationPrivate, 0, kept.driverExtra);
    return publicBytes;
}

BOOL MergeDevmodes(const DEVMODEW* current, const DEVMODEW* incoming, DEVMODEW* out, DWORD outCapacity) {
    if (!out || !current) return FALSE;
    if (!incoming) {
        const DWORD whole = DWORD(current->dmSize) + current->dmDriverExtra;
        if (whole > outCapacity) return FALSE;
        std::memmove(out, current, whole);
        return TRUE;
    }
    if (outCapacity < kHeaderBytes) return FALSE;
    const DEVMODEW* smallerPublic = incoming->dmSize < current->dmSize ? incoming : current;
    const DEVMODEW* smallerPrivate = incoming->dmDriverExtra < current->dmDriverExtra ? incoming : current;
    // Out is shaped first and the copy below keeps that shape; when the
    // driver version taken is 0 the copy takes the current devmode's shape
    // instead. Either must fit before anything is written.
    const WORD driverVersion = smallerPrivate->dmDriverVersion;
    const DWORD resultBytes = driverVersion != 0 ? DWORD(smallerPublic->dmSize) + smallerPrivate->dmDriverExtra
                                                 : DWORD(current->dmSize) + current->dmDriverExtra;
    if (resultBytes > outCapacity) return FALSE;
    out->dmSpecVersion = smallerPublic->dmSpecVersion;
    out->dmSize = smallerPublic->dmSize;
    out->dmDriverVersion = driverVersion;
    out->dmDriverExtra = smallerPrivate->dmDriverExtra;
    return CopyDevmodeNegotiated(out, outCapacity, current) != 0 ? TRUE : FALSE;
}

BOOL MergePublicFields(UiDevmode* current, const DEVMODEW* incoming) {
    if (!current || !incoming || incoming->dmDeviceName[0] == 0) return FALSE;
    DEVMODEW& pub = current->pub;
    const DWORD both = pub.dmFields & incoming->dmFields;
    const PrivateDevmode* incomingPrivate = IncomingPrivate(incoming);

    if ((both & DM_ORIENTATION) && HOLDS(incoming, dmOrientation) &&
        (incoming->dmOrientation == DMORIENT_PORTRAIT || incoming->dmOrientation == DMORIENT_LANDSCAPE))
        pub.dmOrientation = incoming->dmOrientation;
    if ((both & DM_COPIES) && HOLDS(incoming, dmCopies) && incoming->dmCopies >= 1 && incoming->dmCopies <= 999)
        pub.dmCopies = incoming->dmCopies;
    if ((both & DM_PRINTQUALITY) && HOLDS(incoming, dmPrintQuality)) pub.dmPrintQuality = incoming->dmPrintQuality;
    // Only 600 dpi is printed across the page; other vertical resolutions
    // are not taken.
    if ((both & DM_YRESOLUTION) && HOLDS(incoming, dmYResolution) && incoming->dmYResolution == 600)
        pub.dmYResolution = 600;
    if ((both & DM_DUPLEX) && HOLDS(incoming, dmDuplex)) {
        if (incoming->dmDuplex >= DMDUP_SIMPLEX && incoming->dmDuplex <= DMDUP_HORIZONTAL) {
            pub.dmDuplex = incoming->dmDuplex;
        } else if (incoming->dmDuplex == 5 && incomingPrivate) {
            // The driver's own duplex mode travels in the private part; a
            // value outside the private field's range gets its repair value.
            pub.dmDuplex = 5;
            const INT16 duplex = incomingPrivate->Duplex;
            current->priv.Duplex = (duplex >= 1 && duplex <= 5) ? duplex : 1;
        }
    }
    if ((both & (DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH)) && HOLDS(incoming, dmPaperSize)) {
        const PrivateDevmode* customSizes = incomingPrivate;
        if (!customSizes && pub.dmDriverExtra == PRIVATE_DEVMODE_SIZE) customSizes = &current->priv;
        SetPaper(&pub, incoming->dmPaperSize, customSizes);
    }
    if ((both & DM_DEFAULTSOURCE) && HOLDS(incoming, dmDefaultSource) && incoming->dmDefaultSource > 0)
        pub.dmDefaultSource = incoming->dmDefaultSource;
    if ((both & DM_SCALE) && HOLDS(incoming, dmScale)) pub.dmScale = incoming->dmScale;
    if ((both & DM_COLLATE) && HOLDS(incoming, dmCollate) &&
        (incoming->dmCollate == DMCOLLATE_FALSE || incoming->dmCollate == DMCOLLATE_TRUE))
        pub.dmCollate = incoming->dmCollate;
    // The printer prints in black and white only.
    if (both & DM_COLOR) pub.dmColor = DMCOLOR_MONOCHROME;
    if (HOLDS(incoming, dmMediaType) && incoming->dmMediaType != 0) pub.dmMediaType = incoming->dmMediaType;
    return TRUE;
}

BOOL AcceptIncomingDevmode(UiDevmode* current, const DEVMODEW* incoming) {
    if (!incoming) return TRUE;
    if (!current) return FALSE;
    if (incoming->dmDeviceName[0] == 0 || incoming->dmSize != kPublicSize || CheckDevmodeVersion(incoming) == 0 ||
        CheckDevmodeVersion(&current->pub) == 0 || incoming->dmFields == 0)
        return FALSE;

    // A current devmode without a driver version takes the incoming one's
    // shape with the public size of ours. The shape is written back at the
    // end, so it must describe no more than the current devmode holds.
    DevmodeShape kept = ShapeOf(&current->pub);
    if (current->pub.dmDriverVersion == 0) {
        kept = ShapeOf(incoming);
        kept.size = kPublicSize;
    }
    if (kept.TotalBytes() > sizeof(UiDevmode)) return FALSE;

    MergePublicFields(current, incoming);

    const PrivateDevmode* incomingPrivate = IncomingPrivate(incoming);
    if (incomingPrivate && incoming->dmDriverVersion == UI_DEVMODE_DRIVER_VERSION &&
        incoming->dmSpecVersion == DM_SPECVERSION && HasOurSignature(incomingPrivate) &&
        kept.driverExtra == PRIVATE_DEVMODE_SIZE) {
        std::memmove(&current->priv, incomingPrivate, sizeof(current->priv));
        ValidatePrivateDevmode(&current->priv);
    }
    WriteShape(&current->pub, kept);
    return TRUE;
}
