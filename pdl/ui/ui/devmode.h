// The document settings of the user interface: defaults of the public and
// private parts, the repair of a private part, the seeded watermark records
// and the accessors through which the pages read and write the settings of
// their UiContext (private fields by key name, public fields by DM_ flag).
// Results are HRESULT codes: S_OK, E_PENDING for a missing context or
// private part, E_INVALIDARG for an unknown key, HRESULT_FROM_WIN32(
// ERROR_INSUFFICIENT_BUFFER) for a size that does not match the field,
// E_FAIL for what cannot be done.
#pragma once
#include <windows.h>

#include "pcl6/intrface/privdevmode.h"
#include "ui/res/uires.h"
#include "ui/ui/uicontext.h"

// The public part of these settings names this driver version and says
// which fields it holds.
#define UI_DEVMODE_DRIVER_VERSION 0x0600
#define UI_DEVMODE_FIELDS 0xBF1F

// The seeded watermark records: the defaults here and the start of the
// user's watermark list.
#define SEEDED_WATERMARK_COUNT 5
#define SEEDED_WATERMARK_NONE 0           // "[No Watermark]"
#define SEEDED_WATERMARK_CONFIDENTIAL 1
#define SEEDED_WATERMARK_WATERMARK 2
#define SEEDED_WATERMARK_NEW_TEXT 3       // template of a new text watermark
#define SEEDED_WATERMARK_NEW_BITMAP 4     // template of a new bitmap watermark
extern const WatermarkRecord g_SeededWatermarks[SEEDED_WATERMARK_COUNT];

// Writes every private default. With a printer name, the language DLL for it
// supplies the favourite's name (string 202) and the name of the
// "[No Watermark]" record (string 146); a string that does not load leaves
// the name empty, or the record's name as it is. E_PENDING without `priv`.
HRESULT SetPrivateDevmodeDefaults(PrivateDevmode* priv, LPCWSTR printerName);

// Repairs every checked field that lies outside its range, in place, and
// cuts the strings that must end inside their fields. E_PENDING without `priv`.
HRESULT ValidatePrivateDevmode(PrivateDevmode* priv);

// Zeroes the 220 bytes and writes the public defaults; the paper is A4 in
// A4 countries, Letter elsewhere. E_FAIL without `pub`.
HRESULT SetPublicDevmodeDefaults(DEVMODEW* pub, LPCWSTR deviceName);

// Public defaults, then private defaults behind them. TRUE when both
// succeed and the public part announces the private part's size.
BOOL SetDevmodeDefaults(UiDevmode* devmode, LPCWSTR deviceName, LPCWSTR printerName);

// Clears the context's 77 key slots and fills them.
void BuildDevmodeKeyTable(UiContext* context);

// Copies the private field named `key` (exact, case-sensitive, first slot
// that matches) to `buffer`; `size` must equal the field's size.
HRESULT DevmodeGetValueByKey(UiContext* context, LPCSTR key, LPVOID buffer, INT32 size);
// Copies `buffer` into the private field named `key`; `size` must equal the
// field's size.
HRESULT DevmodeSetValueByKey(UiContext* context, LPCSTR key, LPCVOID buffer, INT32 size);

// Pseudo selectors of the public-field accessors beside the DM_ flags.
#define DEVMODE_SELECT_PAPER_FIELDS 0x7FFF   // set: mark length, width and form name as given
#define DEVMODE_SELECT_OPPOSITE 0x404000     // the private opposite-side flag

// Reads a public field (or the private opposite-side flag) by its DM_ flag;
// some fields found out of range are repaired in place as they are read.
// S_OK also for a selector it does not know, which leaves `value` untouched.
HRESULT DevmodeGetPublicField(UiContext* context, DWORD selector, SHORT* value);
// Writes a public field by its DM_ flag. DM_FORMNAME takes `text` (cut to 31
// characters) instead of `value`. E_FAIL for a selector it does not know.
HRESULT DevmodeSetPublicField(UiContext* context, DWORD selector, SHORT value, LPCWSTR text = nullptr);
