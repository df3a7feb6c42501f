// The entry points a printer driver's user-interface DLL exports to the
// spooler, to GDI and to the common property-sheet UI, with the records they
// are called with.
#pragma once
#include <windows.h>

#include "compstui.h"

// --- Property sheets -----------------------------------------------------------------

// The caller's record of a document-properties call: lParamInit of the
// sheet's PROPSHEETUI_INFO, or the lParam of a call with no UI (no
// PROPSHEETUI_INFO). cbOut is the size of pdmOut in bytes; a call with no
// out DEVMODE (or fMode 0) asks for the size the driver's DEVMODE needs,
// which the driver writes into cbOut.
typedef struct _DOCUMENTPROPERTYHEADER {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    PDEVMODEW pdmIn;
    PDEVMODEW pdmOut;
    DWORD cbOut;
    DWORD fMode;
} DOCUMENTPROPERTYHEADER, *PDOCUMENTPROPERTYHEADER;

// DOCUMENTPROPERTYHEADER.fMode bits beside the DM_ modes of wingdi.h: the
// advanced dialog, a user without permission to change the settings, the
// user's default settings.
#define DM_ADVANCED 0x0010
#define DM_NOPERMISSION 0x0020
#define DM_USER_DEFAULT 0x0040

// DEVICEPROPERTYHEADER.Flags: the user may look but not change.
#define DPS_NOPERMISSION 0x0001

// The caller's record of a printer-properties sheet.
typedef struct _DEVICEPROPERTYHEADER {
    WORD cbSize;
    WORD Flags;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
} DEVICEPROPERTYHEADER, *PDEVICEPROPERTYHEADER;

// Printing preferences (document properties) and printer properties. With a
// PROPSHEETUI_INFO they are the sheet's callback; without one (a
// document-properties call that shows nothing) lParam is the
// DOCUMENTPROPERTYHEADER. Results: > 0 success (a size for a size query),
// ERR_CPSUI_GETLASTERROR on failure.
extern "C" LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);
extern "C" LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);

// --- Events ----------------------------------------------------------------------------

// DrvDocumentEvent: GDI's events of a printer DC and its documents.
#define DOCUMENTEVENT_FIRST 1
#define DOCUMENTEVENT_CREATEDCPRE 1
#define DOCUMENTEVENT_CREATEDCPOST 2
#define DOCUMENTEVENT_RESETDCPRE 3
#define DOCUMENTEVENT_RESETDCPOST 4
#define DOCUMENTEVENT_STARTDOC 5
#define DOCUMENTEVENT_STARTPAGE 6
#define DOCUMENTEVENT_ENDPAGE 7
#define DOCUMENTEVENT_ENDDOC 8
#define DOCUMENTEVENT_ABORTDOC 9
#define DOCUMENTEVENT_DELETEDC 10
#define DOCUMENTEVENT_ESCAPE 11
#define DOCUMENTEVENT_ENDDOCPOST 12
#define DOCUMENTEVENT_STARTDOCPOST 13
#define DOCUMENTEVENT_QUERYFILTER 14
#define DOCUMENTEVENT_XPS_ADDFIXEDDOCUMENTSEQUENCEPRE 15
#define DOCUMENTEVENT_LAST 15
// Its results.
#define DOCUMENTEVENT_SUCCESS 1
#define DOCUMENTEVENT_UNSUPPORTED 0
#define DOCUMENTEVENT_FAILURE (-1)

extern "C" int WINAPI DrvDocumentEvent(HANDLE hPrinter, HDC hdc, int iEsc, ULONG cbIn, PVOID pvIn, ULONG cbOut,
                                       PVOID pvOut);

// DrvPrinterEvent: the spooler's events of a printer.
#define PRINTER_EVENT_CONFIGURATION_CHANGE 0
#define PRINTER_EVENT_ADD_CONNECTION 1
#define PRINTER_EVENT_DELETE_CONNECTION 2
#define PRINTER_EVENT_INITIALIZE 3
#define PRINTER_EVENT_DELETE 4
#define PRINTER_EVENT_CACHE_REFRESH 5
#define PRINTER_EVENT_CACHE_DELETE 6
#define PRINTER_EVENT_ATTRIBUTES_CHANGED 7
#define PRINTER_EVENT_CONFIGURATION_UPDATE 8
#define PRINTER_EVENT_ADD_CONNECTION_NO_UI 9
#define PRINTER_EVENT_DELETE_CONNECTION_NO_UI 10
#define PRINTER_EVENT_FLAG_NO_UI 0x00000001

extern "C" BOOL WINAPI DrvPrinterEvent(LPWSTR pPrinterName, int DriverEvent, DWORD Flags, LPARAM lParam);

// DrvDriverEvent: the spooler's events of a driver.
#define DRIVER_EVENT_INITIALIZE 0x00000001
#define DRIVER_EVENT_DELETE 0x00000002

extern "C" BOOL WINAPI DrvDriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam);

// --- DEVMODE conversion and driver upgrade -------------------------------------------

// DrvConvertDevMode's fMode: convert between the driver's versions, convert
// to the NT 3.51 form, or write the driver's default DEVMODE.
#define CDM_CONVERT 0x01
#define CDM_CONVERT351 0x02
#define CDM_DRIVER_DEFAULT 0x04

// The spooler's conversion of a DEVMODE for a printer of this driver.
// *pcbNeeded is the size of pdmOut in bytes on entry and the size written
// (or needed) on return; failures set the last error.
extern "C" BOOL WINAPI DrvConvertDevMode(LPWSTR pPrinterName, PDEVMODEW pdmIn, PDEVMODEW pdmOut, PLONG pcbNeeded,
                                         DWORD fMode);

// DrvUpgradePrinter's level-1 record: the printer whose driver was upgraded.
typedef struct _DRIVER_UPGRADE_INFO_1W {
    LPWSTR pPrinterName;
    LPWSTR pOldDriverDirectory;
} DRIVER_UPGRADE_INFO_1W, *PDRIVER_UPGRADE_INFO_1W;
typedef DRIVER_UPGRADE_INFO_1W DRIVER_UPGRADE_INFO_1, *PDRIVER_UPGRADE_INFO_1;

extern "C" BOOL WINAPI DrvUpgradePrinter(DWORD Level, LPBYTE pDriverUpgradeInfo);

// --- Capabilities and print queries -------------------------------------------------------

// DeviceCapabilitiesW's question to the driver: the answer, GDI_ERROR (-1)
// for a capability it does not know.
extern "C" DWORD WINAPI DrvDeviceCapabilities(HANDLE hPrinter, PWSTR pDeviceName, WORD iDevCap, PVOID pvOutput,
                                              PDEVMODEW pDevMode);

// The spooler's question whether a job's settings can print on a printer.
// On a refusal the driver writes its reason into pszErrorStr (cchErrorStr
// characters) and the characters the whole reason needs into cchNeeded.
typedef struct _DEVQUERYPRINT_INFO {
    WORD cbSize;
    WORD Level;
    HANDLE hPrinter;
    PDEVMODEW pDevMode;
    LPWSTR pszErrorStr;
    DWORD cchErrorStr;
    DWORD cchNeeded;
} DEVQUERYPRINT_INFO, *PDEVQUERYPRINT_INFO;

extern "C" BOOL WINAPI DevQueryPrintEx(PDEVQUERYPRINT_INFO pDQPInfo);

// --- Document conversion -----------------------------------------------------------------

// The types of a named property's value.
typedef enum {
    kPropertyTypeString = 1,
    kPropertyTypeInt32 = 2,
    kPropertyTypeInt64 = 3,
    kPropertyTypeByte = 4,
    kPropertyTypeTime = 5,
    kPropertyTypeDevMode = 6,
    kPropertyTypeSD = 7,
    kPropertyTypeNotificationReply = 8,
    kPropertyTypeNotificationOptions = 9,
    kPropertyTypeBuffer = 10,
} EPrintPropertyType;

typedef struct {
    EPrintPropertyType ePropertyType;
    union {
        BYTE propertyByte;
        PWSTR propertyString;
        LONG propertyInt32;
        LONGLONG propertyInt64;
        struct {
            DWORD cbBuf;
            LPVOID pBuf;
        } propertyBlob;
    } value;
} PrintPropertyValue;

typedef struct {
    PWSTR propertyName;
    PrintPropertyValue propertyValue;
} PrintNamedProperty;

typedef struct {
    ULONG numberOfProperties;
    PrintNamedProperty* propertiesCollection;
} PrintPropertiesCollection;

// The page adjustments a driver asks of a document converted to a fixed
// page format ("MxdcImageableArea", "MxdcImageCompressionType",
// "MxdcDotsPerInch"): it fills in the properties it knows.
extern "C" HRESULT WINAPI MxdcGetPDEVAdjustment(HANDLE hPrinter, DWORD cbDevMode, PDEVMODEW pDevMode,
                                                PrintPropertiesCollection* pPDEVAdjustment);
