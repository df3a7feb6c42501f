// Dialog templates as windres writes them into a .res file.
//
// DLGTEMPLATE: style, extended style, item count, x, y, cx, cy (dialog
// units), then the menu, the class and the title, each either 0x0000 (none),
// 0xFFFF and an ordinal, or a NUL-terminated UTF-16 string; with DS_SETFONT a
// point size and a face name follow. Each item starts on a DWORD boundary:
// style, extended style, x, y, cx, cy, a WORD id, the class (a string or
// 0xFFFF and one of the atoms 0x0080 Button .. 0x0085 ComboBox), the title
// (a string, or 0xFFFF and a resource id) and a WORD count of creation bytes,
// which follow it.
//
// DLGTEMPLATEEX starts with the version 1 and the signature 0xFFFF, then a
// help id, the extended style, the style, the count and the rectangle; its
// font adds a weight, an italic flag and a character set before the face,
// and its items carry a help id and a DWORD id.
//
// Every read is checked against the size of the memory the template lies
// in: a count that promises more items than there are, a string without its
// terminator or a creation block past the end fails the parse with a reason.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace w32 {

// A name or ordinal field of a template.
struct TemplateName {
    bool present = false;
    WORD ordinal = 0;      // when the field was 0xFFFF and an id
    std::u16string text;   // when it was a string
    bool IsOrdinal() const { return present && text.empty() && ordinal != 0; }
};

struct DialogItemTemplate {
    DWORD helpId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    LONG_PTR id = 0;
    TemplateName className;
    TemplateName title;
    // The creation bytes' count word (the data follows it) as it lies in the
    // template, or null when the count is 0.
    const BYTE* creationData = nullptr;
};

struct DialogTemplate {
    bool extended = false;
    DWORD helpId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    TemplateName menu;
    TemplateName className;
    TemplateName title;
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = FW_NORMAL;
    BYTE italic = 0;
    BYTE charSet = DEFAULT_CHARSET;
    std::u16string face;
    std::vector<DialogItemTemplate> items;
};

// Reads the template of `size` bytes at `data`. False with `reason` when it
// is malformed or runs past its end.
bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate& out, std::string& reason);

// Templates handed in by address whose memory the layer does not know are
// read as far as their counts say, as on Windows, up to this many bytes.
constexpr size_t kUnknownTemplateBytes = 1 << 20;

// The number of bytes a template handed in by address may be read: the rest
// of the resource or GlobalAlloc block it lies in, or `fallback` when the
// layer does not know the memory (the caller vouches for it, as on Windows).
size_t TemplateBytesAvailable(const void* data, size_t fallback);

// The class name of a predefined control atom (0x0080..0x0085), or null.
LPCWSTR PredefinedControlClass(WORD atom);

}  // namespace w32
