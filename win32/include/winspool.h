// The print spooler: printers, printer drivers, ports, monitors, print
// processors, printer data and print jobs.
//
// Where Windows declares a name or path parameter as LPWSTR that the
// function only reads, it is LPCWSTR here, so that a literal can be passed;
// every call written for Windows still compiles.
#pragma once
#include "winbase.h"
#include "wingdi.h"
#include "sysinfoapi.h"

#define WINSPOOLAPI WINBASEAPI

// --- Records -------------------------------------------------------------------

typedef struct _PRINTER_INFO_1W {
    DWORD Flags;
    LPWSTR pDescription;
    LPWSTR pName;
    LPWSTR pComment;
} PRINTER_INFO_1W, *PPRINTER_INFO_1W, *LPPRINTER_INFO_1W;

typedef struct _PRINTER_INFO_2W {
    LPWSTR pServerName;
    LPWSTR pPrinterName;
    LPWSTR pShareName;
    LPWSTR pPortName;
    LPWSTR pDriverName;
    LPWSTR pComment;
    LPWSTR pLocation;
    LPDEVMODEW pDevMode;
    LPWSTR pSepFile;
    LPWSTR pPrintProcessor;
    LPWSTR pDatatype;
    LPWSTR pParameters;
    PSECURITY_DESCRIPTOR pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
} PRINTER_INFO_2W, *PPRINTER_INFO_2W, *LPPRINTER_INFO_2W;

typedef struct _PRINTER_INFO_3 {
    PSECURITY_DESCRIPTOR pSecurityDescriptor;
} PRINTER_INFO_3, *PPRINTER_INFO_3, *LPPRINTER_INFO_3;

typedef struct _PRINTER_INFO_4W {
    LPWSTR pPrinterName;
    LPWSTR pServerName;
    DWORD Attributes;
} PRINTER_INFO_4W, *PPRINTER_INFO_4W, *LPPRINTER_INFO_4W;

typedef struct _PRINTER_INFO_5W {
    LPWSTR pPrinterName;
    LPWSTR pPortName;
    DWORD Attributes;
    DWORD DeviceNotSelectedTimeout;  // milliseconds
    DWORD TransmissionRetryTimeout;  // milliseconds
} PRINTER_INFO_5W, *PPRINTER_INFO_5W, *LPPRINTER_INFO_5W;

typedef struct _PRINTER_INFO_6 {
    DWORD dwStatus;
} PRINTER_INFO_6, *PPRINTER_INFO_6, *LPPRINTER_INFO_6;

typedef struct _PRINTER_INFO_7W {
    LPWSTR pszObjectGUID;
    DWORD dwAction;
} PRINTER_INFO_7W, *PPRINTER_INFO_7W, *LPPRINTER_INFO_7W;

// The printer's global default settings.
typedef struct _PRINTER_INFO_8W {
    LPDEVMODEW pDevMode;
} PRINTER_INFO_8W, *PPRINTER_INFO_8W, *LPPRINTER_INFO_8W;

// The user's own default settings for the printer.
typedef struct _PRINTER_INFO_9W {
    LPDEVMODEW pDevMode;
} PRINTER_INFO_9W, *PPRINTER_INFO_9W, *LPPRINTER_INFO_9W;

typedef struct _DRIVER_INFO_1W {
    LPWSTR pName;
} DRIVER_INFO_1W, *PDRIVER_INFO_1W, *LPDRIVER_INFO_1W;

typedef struct _DRIVER_INFO_2W {
    DWORD cVersion;
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDriverPath;
    LPWSTR pDataFile;
    LPWSTR pConfigFile;
} DRIVER_INFO_2W, *PDRIVER_INFO_2W, *LPDRIVER_INFO_2W;

typedef struct _DRIVER_INFO_3W {
    DWORD cVersion;
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDriverPath;
    LPWSTR pDataFile;
    LPWSTR pConfigFile;
    LPWSTR pHelpFile;
    LPWSTR pDependentFiles;  // a list of NUL-terminated names ending in an empty one
    LPWSTR pMonitorName;
    LPWSTR pDefaultDataType;
} DRIVER_INFO_3W, *PDRIVER_INFO_3W, *LPDRIVER_INFO_3W;

typedef struct _DRIVER_INFO_4W {
    DWORD cVersion;
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDriverPath;
    LPWSTR pDataFile;
    LPWSTR pConfigFile;
    LPWSTR pHelpFile;
    LPWSTR pDependentFiles;
    LPWSTR pMonitorName;
    LPWSTR pDefaultDataType;
    LPWSTR pszzPreviousNames;
} DRIVER_INFO_4W, *PDRIVER_INFO_4W, *LPDRIVER_INFO_4W;

typedef struct _DRIVER_INFO_6W {
    DWORD cVersion;
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDriverPath;
    LPWSTR pDataFile;
    LPWSTR pConfigFile;
    LPWSTR pHelpFile;
    LPWSTR pDependentFiles;
    LPWSTR pMonitorName;
    LPWSTR pDefaultDataType;
    LPWSTR pszzPreviousNames;
    FILETIME ftDriverDate;
    DWORDLONG dwlDriverVersion;
    LPWSTR pszMfgName;
    LPWSTR pszOEMUrl;
    LPWSTR pszHardwareID;
    LPWSTR pszProvider;
} DRIVER_INFO_6W, *PDRIVER_INFO_6W, *LPDRIVER_INFO_6W;

typedef struct _PORT_INFO_1W {
    LPWSTR pName;
} PORT_INFO_1W, *PPORT_INFO_1W, *LPPORT_INFO_1W;

typedef struct _PORT_INFO_2W {
    LPWSTR pPortName;
    LPWSTR pMonitorName;
    LPWSTR pDescription;
    DWORD fPortType;
    DWORD Reserved;
} PORT_INFO_2W, *PPORT_INFO_2W, *LPPORT_INFO_2W;

typedef struct _MONITOR_INFO_1W {
    LPWSTR pName;
} MONITOR_INFO_1W, *PMONITOR_INFO_1W, *LPMONITOR_INFO_1W;

typedef struct _MONITOR_INFO_2W {
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDLLName;
} MONITOR_INFO_2W, *PMONITOR_INFO_2W, *LPMONITOR_INFO_2W;

typedef struct _PRINTPROCESSOR_INFO_1W {
    LPWSTR pName;
} PRINTPROCESSOR_INFO_1W, *PPRINTPROCESSOR_INFO_1W, *LPPRINTPROCESSOR_INFO_1W;

typedef struct _PRINTER_DEFAULTSW {
    LPWSTR pDatatype;
    LPDEVMODEW pDevMode;
    ACCESS_MASK DesiredAccess;
} PRINTER_DEFAULTSW, *PPRINTER_DEFAULTSW, *LPPRINTER_DEFAULTSW;

typedef struct _DOC_INFO_1W {
    LPWSTR pDocName;
    LPWSTR pOutputFile;
    LPWSTR pDatatype;
} DOC_INFO_1W, *PDOC_INFO_1W, *LPDOC_INFO_1W;

// A print job as EnumJobsW and GetJobW give it. Submitted is in UTC.
typedef struct _JOB_INFO_1W {
    DWORD JobId;
    LPWSTR pPrinterName;
    LPWSTR pMachineName;
    LPWSTR pUserName;
    LPWSTR pDocument;
    LPWSTR pDatatype;
    LPWSTR pStatus;
    DWORD Status;
    DWORD Priority;
    DWORD Position;
    DWORD TotalPages;
    DWORD PagesPrinted;
    SYSTEMTIME Submitted;
} JOB_INFO_1W, *PJOB_INFO_1W, *LPJOB_INFO_1W;

typedef struct _JOB_INFO_2W {
    DWORD JobId;
    LPWSTR pPrinterName;
    LPWSTR pMachineName;
    LPWSTR pUserName;
    LPWSTR pDocument;
    LPWSTR pNotifyName;
    LPWSTR pDatatype;
    LPWSTR pPrintProcessor;
    LPWSTR pParameters;
    LPWSTR pDriverName;
    LPDEVMODEW pDevMode;
    LPWSTR pStatus;
    PSECURITY_DESCRIPTOR pSecurityDescriptor;
    DWORD Status;
    DWORD Priority;
    DWORD Position;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD TotalPages;
    DWORD Size;  // bytes
    SYSTEMTIME Submitted;
    DWORD Time;  // seconds since the job began printing
    DWORD PagesPrinted;
} JOB_INFO_2W, *PJOB_INFO_2W, *LPJOB_INFO_2W;

// One value of EnumPrinterDataExW.
typedef struct _PRINTER_ENUM_VALUESW {
    LPWSTR pValueName;
    DWORD cbValueName;  // bytes, terminator included
    DWORD dwType;
    LPBYTE pData;
    DWORD cbData;
} PRINTER_ENUM_VALUESW, *PPRINTER_ENUM_VALUESW, *LPPRINTER_ENUM_VALUESW;

typedef PRINTER_INFO_1W PRINTER_INFO_1, *PPRINTER_INFO_1, *LPPRINTER_INFO_1;
typedef PRINTER_INFO_2W PRINTER_INFO_2, *PPRINTER_INFO_2, *LPPRINTER_INFO_2;
typedef PRINTER_INFO_4W PRINTER_INFO_4, *PPRINTER_INFO_4, *LPPRINTER_INFO_4;
typedef PRINTER_INFO_5W PRINTER_INFO_5, *PPRINTER_INFO_5, *LPPRINTER_INFO_5;
typedef PRINTER_INFO_7W PRINTER_INFO_7, *PPRINTER_INFO_7, *LPPRINTER_INFO_7;
typedef PRINTER_INFO_8W PRINTER_INFO_8, *PPRINTER_INFO_8, *LPPRINTER_INFO_8;
typedef PRINTER_INFO_9W PRINTER_INFO_9, *PPRINTER_INFO_9, *LPPRINTER_INFO_9;
typedef DRIVER_INFO_1W DRIVER_INFO_1, *PDRIVER_INFO_1, *LPDRIVER_INFO_1;
typedef DRIVER_INFO_2W DRIVER_INFO_2, *PDRIVER_INFO_2, *LPDRIVER_INFO_2;
typedef DRIVER_INFO_3W DRIVER_INFO_3, *PDRIVER_INFO_3, *LPDRIVER_INFO_3;
typedef DRIVER_INFO_4W DRIVER_INFO_4, *PDRIVER_INFO_4, *LPDRIVER_INFO_4;
typedef DRIVER_INFO_6W DRIVER_INFO_6, *PDRIVER_INFO_6, *LPDRIVER_INFO_6;
typedef PORT_INFO_1W PORT_INFO_1, *PPORT_INFO_1, *LPPORT_INFO_1;
typedef PORT_INFO_2W PORT_INFO_2, *PPORT_INFO_2, *LPPORT_INFO_2;
typedef MONITOR_INFO_1W MONITOR_INFO_1, *PMONITOR_INFO_1, *LPMONITOR_INFO_1;
typedef MONITOR_INFO_2W MONITOR_INFO_2, *PMONITOR_INFO_2, *LPMONITOR_INFO_2;
typedef PRINTPROCESSOR_INFO_1W PRINTPROCESSOR_INFO_1, *PPRINTPROCESSOR_INFO_1, *LPPRINTPROCESSOR_INFO_1;
typedef PRINTER_DEFAULTSW PRINTER_DEFAULTS, *PPRINTER_DEFAULTS, *LPPRINTER_DEFAULTS;
typedef DOC_INFO_1W DOC_INFO_1, *PDOC_INFO_1, *LPDOC_INFO_1;
typedef JOB_INFO_1W JOB_INFO_1, *PJOB_INFO_1, *LPJOB_INFO_1;
typedef JOB_INFO_2W JOB_INFO_2, *PJOB_INFO_2, *LPJOB_INFO_2;
typedef PRINTER_ENUM_VALUESW PRINTER_ENUM_VALUES, *PPRINTER_ENUM_VALUES, *LPPRINTER_ENUM_VALUES;

// --- Constants -------------------------------------------------------------------

// Access rights of a server handle and of a printer handle.
#define SERVER_ACCESS_ADMINISTER 0x00000001
#define SERVER_ACCESS_ENUMERATE 0x00000002
#define PRINTER_ACCESS_ADMINISTER 0x00000004
#define PRINTER_ACCESS_USE 0x00000008
#define JOB_ACCESS_ADMINISTER 0x00000010
#define JOB_ACCESS_READ 0x00000020
#define PRINTER_ACCESS_MANAGE_LIMITED 0x00000040
#define SERVER_ALL_ACCESS (STANDARD_RIGHTS_REQUIRED | SERVER_ACCESS_ADMINISTER | SERVER_ACCESS_ENUMERATE)
#define SERVER_READ (STANDARD_RIGHTS_READ | SERVER_ACCESS_ENUMERATE)
#define SERVER_WRITE (STANDARD_RIGHTS_WRITE | SERVER_ACCESS_ADMINISTER | SERVER_ACCESS_ENUMERATE)
#define SERVER_EXECUTE (STANDARD_RIGHTS_EXECUTE | SERVER_ACCESS_ENUMERATE)
#define PRINTER_ALL_ACCESS (STANDARD_RIGHTS_REQUIRED | PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE)
#define PRINTER_READ (STANDARD_RIGHTS_READ | PRINTER_ACCESS_USE)
#define PRINTER_WRITE (STANDARD_RIGHTS_WRITE | PRINTER_ACCESS_USE)
#define PRINTER_EXECUTE (STANDARD_RIGHTS_EXECUTE | PRINTER_ACCESS_USE)
#define JOB_ALL_ACCESS (STANDARD_RIGHTS_REQUIRED | JOB_ACCESS_ADMINISTER | JOB_ACCESS_READ)

// EnumPrintersW flags.
#define PRINTER_ENUM_DEFAULT 0x00000001
#define PRINTER_ENUM_LOCAL 0x00000002
#define PRINTER_ENUM_CONNECTIONS 0x00000004
#define PRINTER_ENUM_FAVORITE 0x00000004
#define PRINTER_ENUM_NAME 0x00000008
#define PRINTER_ENUM_REMOTE 0x00000010
#define PRINTER_ENUM_SHARED 0x00000020
#define PRINTER_ENUM_NETWORK 0x00000040
#define PRINTER_ENUM_EXPAND 0x00004000
#define PRINTER_ENUM_CONTAINER 0x00008000
#define PRINTER_ENUM_ICONMASK 0x00ff0000
#define PRINTER_ENUM_ICON1 0x00010000
#define PRINTER_ENUM_ICON2 0x00020000
#define PRINTER_ENUM_ICON3 0x00040000
#define PRINTER_ENUM_ICON4 0x00080000
#define PRINTER_ENUM_ICON5 0x00100000
#define PRINTER_ENUM_ICON6 0x00200000
#define PRINTER_ENUM_ICON7 0x00400000
#define PRINTER_ENUM_ICON8 0x00800000
#define PRINTER_ENUM_HIDE 0x01000000

// Printer attributes.
#define PRINTER_ATTRIBUTE_QUEUED 0x00000001
#define PRINTER_ATTRIBUTE_DIRECT 0x00000002
#define PRINTER_ATTRIBUTE_DEFAULT 0x00000004
#define PRINTER_ATTRIBUTE_SHARED 0x00000008
#define PRINTER_ATTRIBUTE_NETWORK 0x00000010
#define PRINTER_ATTRIBUTE_HIDDEN 0x00000020
#define PRINTER_ATTRIBUTE_LOCAL 0x00000040
#define PRINTER_ATTRIBUTE_ENABLE_DEVQ 0x00000080
#define PRINTER_ATTRIBUTE_KEEPPRINTEDJOBS 0x00000100
#define PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST 0x00000200
#define PRINTER_ATTRIBUTE_WORK_OFFLINE 0x00000400
#define PRINTER_ATTRIBUTE_ENABLE_BIDI 0x00000800
#define PRINTER_ATTRIBUTE_RAW_ONLY 0x00001000
#define PRINTER_ATTRIBUTE_PUBLISHED 0x00002000
#define PRINTER_ATTRIBUTE_FAX 0x00004000
#define PRINTER_ATTRIBUTE_TS 0x00008000
#define PRINTER_ATTRIBUTE_PUSHED_USER 0x00020000
#define PRINTER_ATTRIBUTE_PUSHED_MACHINE 0x00040000
#define PRINTER_ATTRIBUTE_MACHINE 0x00080000
#define PRINTER_ATTRIBUTE_FRIENDLY_NAME 0x00100000
#define PRINTER_ATTRIBUTE_TS_GENERIC_DRIVER 0x00200000

// Printer status.
#define PRINTER_STATUS_PAUSED 0x00000001
#define PRINTER_STATUS_ERROR 0x00000002
#define PRINTER_STATUS_PENDING_DELETION 0x00000004
#define PRINTER_STATUS_PAPER_JAM 0x00000008
#define PRINTER_STATUS_PAPER_OUT 0x00000010
#define PRINTER_STATUS_MANUAL_FEED 0x00000020
#define PRINTER_STATUS_PAPER_PROBLEM 0x00000040
#define PRINTER_STATUS_OFFLINE 0x00000080
#define PRINTER_STATUS_IO_ACTIVE 0x00000100
#define PRINTER_STATUS_BUSY 0x00000200
#define PRINTER_STATUS_PRINTING 0x00000400
#define PRINTER_STATUS_OUTPUT_BIN_FULL 0x00000800
#define PRINTER_STATUS_NOT_AVAILABLE 0x00001000
#define PRINTER_STATUS_WAITING 0x00002000
#define PRINTER_STATUS_PROCESSING 0x00004000
#define PRINTER_STATUS_INITIALIZING 0x00008000
#define PRINTER_STATUS_WARMING_UP 0x00010000
#define PRINTER_STATUS_TONER_LOW 0x00020000
#define PRINTER_STATUS_NO_TONER 0x00040000
#define PRINTER_STATUS_PAGE_PUNT 0x00080000
#define PRINTER_STATUS_USER_INTERVENTION 0x00100000
#define PRINTER_STATUS_OUT_OF_MEMORY 0x00200000
#define PRINTER_STATUS_DOOR_OPEN 0x00400000
#define PRINTER_STATUS_SERVER_UNKNOWN 0x00800000
#define PRINTER_STATUS_POWER_SAVE 0x01000000
#define PRINTER_STATUS_SERVER_OFFLINE 0x02000000
#define PRINTER_STATUS_DRIVER_UPDATE_NEEDED 0x04000000

// SetPrinterW commands.
#define PRINTER_CONTROL_PAUSE 1
#define PRINTER_CONTROL_RESUME 2
#define PRINTER_CONTROL_PURGE 3
#define PRINTER_CONTROL_SET_STATUS 4

// Job status bits.
#define JOB_STATUS_PAUSED 0x00000001
#define JOB_STATUS_ERROR 0x00000002
#define JOB_STATUS_DELETING 0x00000004
#define JOB_STATUS_SPOOLING 0x00000008
#define JOB_STATUS_PRINTING 0x00000010
#define JOB_STATUS_OFFLINE 0x00000020
#define JOB_STATUS_PAPEROUT 0x00000040
#define JOB_STATUS_PRINTED 0x00000080
#define JOB_STATUS_DELETED 0x00000100
#define JOB_STATUS_BLOCKED_DEVQ 0x00000200
#define JOB_STATUS_USER_INTERVENTION 0x00000400
#define JOB_STATUS_RESTART 0x00000800
#define JOB_STATUS_COMPLETE 0x00001000
#define JOB_STATUS_RETAINED 0x00002000

// SetJobW commands.
#define JOB_CONTROL_PAUSE 1
#define JOB_CONTROL_RESUME 2
#define JOB_CONTROL_CANCEL 3
#define JOB_CONTROL_RESTART 4
#define JOB_CONTROL_DELETE 5
#define JOB_CONTROL_SENT_TO_PRINTER 6
#define JOB_CONTROL_LAST_PAGE_EJECTED 7

#define JOB_POSITION_UNSPECIFIED 0

// Job priorities.
#define NO_PRIORITY 0
#define MAX_PRIORITY 99
#define MIN_PRIORITY 1
#define DEF_PRIORITY 1

// AddPrinterDriverExW file copy flags.
#define APD_STRICT_UPGRADE 0x00000001
#define APD_STRICT_DOWNGRADE 0x00000002
#define APD_COPY_ALL_FILES 0x00000004
#define APD_COPY_NEW_FILES 0x00000008
#define APD_COPY_FROM_DIRECTORY 0x00000010
#define APD_DONT_COPY_FILES_TO_CLUSTER 0x00001000
#define APD_COPY_TO_ALL_SPOOLERS 0x00002000
#define APD_INSTALL_WARNED_DRIVER 0x00008000
#define APD_RETURN_BLOCKING_STATUS_CODE 0x00010000

// DeletePrinterDriverExW flags.
#define DPD_DELETE_UNUSED_FILES 0x00000001
#define DPD_DELETE_SPECIFIC_VERSION 0x00000002
#define DPD_DELETE_ALL_FILES 0x00000004

// Port types.
#define PORT_TYPE_WRITE 0x0001
#define PORT_TYPE_READ 0x0002
#define PORT_TYPE_REDIRECTED 0x0004
#define PORT_TYPE_NET_ATTACHED 0x0008

// Values a server handle answers through GetPrinterDataW.
#define SPLREG_DEFAULT_SPOOL_DIRECTORY u"DefaultSpoolDirectory"
#define SPLREG_ARCHITECTURE u"Architecture"
#define SPLREG_MAJOR_VERSION u"MajorVersion"
#define SPLREG_MINOR_VERSION u"MinorVersion"

// Keys of a printer's data that hold the properties it publishes.
#define SPLDS_DRIVER_KEY u"DsDriver"
#define SPLDS_SPOOLER_KEY u"DsSpooler"
#define SPLDS_USER_KEY u"DsUser"

// --- Functions ---------------------------------------------------------------------

// Printers.
WINSPOOLAPI BOOL WINAPI OpenPrinterW(LPCWSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW pDefault);
WINSPOOLAPI BOOL WINAPI ClosePrinter(HANDLE hPrinter);
WINSPOOLAPI HANDLE WINAPI AddPrinterW(LPCWSTR pName, DWORD Level, LPBYTE pPrinter);
WINSPOOLAPI BOOL WINAPI DeletePrinter(HANDLE hPrinter);
WINSPOOLAPI BOOL WINAPI GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded);
WINSPOOLAPI BOOL WINAPI SetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command);
// The printer driver's document settings, through its user-interface DLL:
// fMode 0 answers the size of the driver's DEVMODE; DM_OUT_BUFFER writes the
// driver's settings (the printer's, then pDevModeInput's with DM_IN_BUFFER)
// into pDevModeOutput, which holds that size, and answers IDOK. DM_IN_PROMPT
// shows the driver's sheet. A negative result is a failure.
WINSPOOLAPI LONG WINAPI DocumentPropertiesW(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName, PDEVMODEW pDevModeOutput,
                                            PDEVMODEW pDevModeInput, DWORD fMode);
WINSPOOLAPI BOOL WINAPI EnumPrintersW(DWORD Flags, LPCWSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf,
                                      LPDWORD pcbNeeded, LPDWORD pcReturned);
WINSPOOLAPI BOOL WINAPI GetDefaultPrinterW(LPWSTR pszBuffer, LPDWORD pcchBuffer);
WINSPOOLAPI BOOL WINAPI SetDefaultPrinterW(LPCWSTR pszPrinter);

// Printer drivers.
WINSPOOLAPI BOOL WINAPI AddPrinterDriverW(LPCWSTR pName, DWORD Level, LPBYTE pDriverInfo);
WINSPOOLAPI BOOL WINAPI AddPrinterDriverExW(LPCWSTR pName, DWORD Level, LPBYTE pDriverInfo, DWORD dwFileCopyFlags);
WINSPOOLAPI BOOL WINAPI DeletePrinterDriverW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pDriverName);
WINSPOOLAPI BOOL WINAPI DeletePrinterDriverExW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pDriverName,
                                               DWORD dwDeleteFlag, DWORD dwVersionFlag);
WINSPOOLAPI BOOL WINAPI GetPrinterDriverW(HANDLE hPrinter, LPCWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                                          DWORD cbBuf, LPDWORD pcbNeeded);
WINSPOOLAPI BOOL WINAPI GetPrinterDriver2W(HWND hWnd, HANDLE hPrinter, LPCWSTR pEnvironment, DWORD Level,
                                           LPBYTE pDriverInfo, DWORD cbBuf, LPDWORD pcbNeeded);
WINSPOOLAPI BOOL WINAPI EnumPrinterDriversW(LPCWSTR pName, LPCWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                                            DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned);
WINSPOOLAPI BOOL WINAPI GetPrinterDriverDirectoryW(LPCWSTR pName, LPCWSTR pEnvironment, DWORD Level,
                                                   LPBYTE pDriverDirectory, DWORD cbBuf, LPDWORD pcbNeeded);

// Print processors.
WINSPOOLAPI BOOL WINAPI EnumPrintProcessorsW(LPCWSTR pName, LPCWSTR pEnvironment, DWORD Level,
                                             LPBYTE pPrintProcessorInfo, DWORD cbBuf, LPDWORD pcbNeeded,
                                             LPDWORD pcReturned);
WINSPOOLAPI BOOL WINAPI AddPrintProcessorW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pPathName,
                                           LPCWSTR pPrintProcessorName);
WINSPOOLAPI BOOL WINAPI DeletePrintProcessorW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pPrintProcessorName);
WINSPOOLAPI BOOL WINAPI GetPrintProcessorDirectoryW(LPCWSTR pName, LPCWSTR pEnvironment, DWORD Level,
                                                    LPBYTE pPrintProcessorInfo, DWORD cbBuf, LPDWORD pcbNeeded);

// Ports and monitors.
WINSPOOLAPI BOOL WINAPI EnumPortsW(LPCWSTR pName, DWORD Level, LPBYTE pPort, DWORD cbBuf, LPDWORD pcbNeeded,
                                   LPDWORD pcReturned);
WINSPOOLAPI BOOL WINAPI AddPortW(LPCWSTR pName, HWND hWnd, LPCWSTR pMonitorName);
WINSPOOLAPI BOOL WINAPI AddPortExW(LPCWSTR pName, DWORD Level, LPBYTE lpBuffer, LPCWSTR lpMonitorName);
WINSPOOLAPI BOOL WINAPI DeletePortW(LPCWSTR pName, HWND hWnd, LPCWSTR pPortName);
WINSPOOLAPI BOOL WINAPI EnumMonitorsW(LPCWSTR pName, DWORD Level, LPBYTE pMonitor, DWORD cbBuf, LPDWORD pcbNeeded,
                                      LPDWORD pcReturned);
WINSPOOLAPI BOOL WINAPI AddMonitorW(LPCWSTR pName, DWORD Level, LPBYTE pMonitors);
WINSPOOLAPI BOOL WINAPI DeleteMonitorW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pMonitorName);

// Printer data. These return a Win32 error code.
WINSPOOLAPI DWORD WINAPI GetPrinterDataW(HANDLE hPrinter, LPCWSTR pValueName, LPDWORD pType, LPBYTE pData,
                                         DWORD nSize, LPDWORD pcbNeeded);
WINSPOOLAPI DWORD WINAPI GetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, LPDWORD pType,
                                           LPBYTE pData, DWORD nSize, LPDWORD pcbNeeded);
WINSPOOLAPI DWORD WINAPI SetPrinterDataW(HANDLE hPrinter, LPCWSTR pValueName, DWORD Type, LPBYTE pData,
                                         DWORD cbData);
WINSPOOLAPI DWORD WINAPI SetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, DWORD Type,
                                           LPBYTE pData, DWORD cbData);
WINSPOOLAPI DWORD WINAPI EnumPrinterDataW(HANDLE hPrinter, DWORD dwIndex, LPWSTR pValueName, DWORD cbValueName,
                                          LPDWORD pcbValueName, LPDWORD pType, LPBYTE pData, DWORD cbData,
                                          LPDWORD pcbData);
WINSPOOLAPI DWORD WINAPI EnumPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPBYTE pEnumValues,
                                            DWORD cbEnumValues, LPDWORD pcbEnumValues, LPDWORD pnEnumValues);
WINSPOOLAPI DWORD WINAPI EnumPrinterKeyW(HANDLE hPrinter, LPCWSTR pKeyName, LPWSTR pSubkey, DWORD cbSubkey,
                                         LPDWORD pcbSubkey);
WINSPOOLAPI DWORD WINAPI DeletePrinterDataW(HANDLE hPrinter, LPCWSTR pValueName);
WINSPOOLAPI DWORD WINAPI DeletePrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName);
WINSPOOLAPI DWORD WINAPI DeletePrinterKeyW(HANDLE hPrinter, LPCWSTR pKeyName);

// The printer driver's conversion of a DEVMODE (its user-interface DLL's
// DrvConvertDevMode, fMode CDM_CONVERT, CDM_CONVERT351 or CDM_DRIVER_DEFAULT).
WINSPOOLAPI BOOL WINAPI ConvertDevMode(LPCWSTR pPrinterName, PDEVMODEW pdmIn, PDEVMODEW pdmOut, PLONG pcbNeeded,
                                       DWORD fMode);

// Print jobs.
WINSPOOLAPI DWORD WINAPI StartDocPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo);
WINSPOOLAPI BOOL WINAPI StartPagePrinter(HANDLE hPrinter);
WINSPOOLAPI BOOL WINAPI WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten);
WINSPOOLAPI BOOL WINAPI EndPagePrinter(HANDLE hPrinter);
WINSPOOLAPI BOOL WINAPI EndDocPrinter(HANDLE hPrinter);
WINSPOOLAPI BOOL WINAPI AbortPrinter(HANDLE hPrinter);
WINSPOOLAPI BOOL WINAPI EnumJobsW(HANDLE hPrinter, DWORD FirstJob, DWORD NoJobs, DWORD Level, LPBYTE pJob, DWORD cbBuf,
                                  LPDWORD pcbNeeded, LPDWORD pcReturned);
WINSPOOLAPI BOOL WINAPI GetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf,
                                LPDWORD pcbNeeded);
WINSPOOLAPI BOOL WINAPI SetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD Command);

#define OpenPrinter OpenPrinterW
#define AddPrinter AddPrinterW
#define GetPrinter GetPrinterW
#define SetPrinter SetPrinterW
#define DocumentProperties DocumentPropertiesW
#define EnumPrinters EnumPrintersW
#define GetDefaultPrinter GetDefaultPrinterW
#define SetDefaultPrinter SetDefaultPrinterW
#define AddPrinterDriver AddPrinterDriverW
#define AddPrinterDriverEx AddPrinterDriverExW
#define DeletePrinterDriver DeletePrinterDriverW
#define DeletePrinterDriverEx DeletePrinterDriverExW
#define GetPrinterDriver GetPrinterDriverW
#define GetPrinterDriver2 GetPrinterDriver2W
#define EnumPrinterDrivers EnumPrinterDriversW
#define GetPrinterDriverDirectory GetPrinterDriverDirectoryW
#define EnumPrintProcessors EnumPrintProcessorsW
#define AddPrintProcessor AddPrintProcessorW
#define DeletePrintProcessor DeletePrintProcessorW
#define GetPrintProcessorDirectory GetPrintProcessorDirectoryW
#define EnumPorts EnumPortsW
#define AddPort AddPortW
#define AddPortEx AddPortExW
#define DeletePort DeletePortW
#define EnumMonitors EnumMonitorsW
#define AddMonitor AddMonitorW
#define DeleteMonitor DeleteMonitorW
#define GetPrinterData GetPrinterDataW
#define GetPrinterDataEx GetPrinterDataExW
#define SetPrinterData SetPrinterDataW
#define SetPrinterDataEx SetPrinterDataExW
#define EnumPrinterData EnumPrinterDataW
#define EnumPrinterDataEx EnumPrinterDataExW
#define EnumPrinterKey EnumPrinterKeyW
#define DeletePrinterData DeletePrinterDataW
#define DeletePrinterDataEx DeletePrinterDataExW
#define DeletePrinterKey DeletePrinterKeyW
#define StartDocPrinter StartDocPrinterW
#define EnumJobs EnumJobsW
#define GetJob GetJobW
#define SetJob SetJobW
