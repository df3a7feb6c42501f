// Reading DLGTEMPLATE and DLGTEMPLATEEX (see dlgtemplate.h for the layout).
#include "user32/dlgtemplate.h"

#include <cstring>
#include <mutex>

#include "kernel32/loader.h"
#include "kernel32/resfile.h"

namespace w32 {

namespace {

// A cursor over the template's bytes that refuses to read past the end.
class TemplateReader {
public:
    TemplateReader(const BYTE* begin, size_t size) : begin_(begin), size_(size) {}

    bool Fail(std::string& reason, const char* what) const {
        reason = std::string(what) + " at byte " + std::to_string(offset_) + " runs past the template's " +
                 std::to_string(size_) + " bytes";
        return false;
    }

    template <class T>
    bool Read(T& value) {
        if (size_ - offset_ < sizeof(T)) return false;
        std::memcpy(&value, begin_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return true;
    }

    bool String(std::u16string& text) {
        text.clear();
        for (;;) {
            WORD c;
            if (!Read(c)) return false;
            if (c == 0) return true;
            text.push_back(char16_t(c));
        }
    }

    // A field that is 0x0000 (none), 0xFFFF and an ordinal, or a string.
    bool Name(TemplateName& name) {
        WORD first;
        if (!Read(first)) return false;
        name = TemplateName{};
        if (first == 0x0000) return true;
        name.present = true;
        if (first == 0xFFFF) return Read(name.ordinal);
        offset_ -= sizeof(WORD);
        return String(name.text);
    }

    bool AlignTo(size_t boundary) {
        size_t aligned = (offset_ + boundary - 1) / boundary * boundary;
        // Items may end exactly at the end of the data, padding included or not.
        if (aligned > size_) return false;
        offset_ = aligned;
        return true;
    }

    bool Skip(size_t bytes) {
        if (size_ - offset_ < bytes) return false;
        offset_ += bytes;
        return true;
    }

    const BYTE* Here() const { return begin_ + offset_; }

private:
    const BYTE* begin_;
    size_t size_;
    size_t offset_ = 0;
};

bool ReadItem(TemplateReader& in, bool extended, DialogItemTemplate& item, std::string& reason) {
    if (!in.AlignTo(sizeof(DWORD))) return in.Fail(reason, "an item");
    short rect[4];
    if (extended) {
        DWORD id;
        if (!in.Read(item.helpId) || !in.Read(item.exStyle) || !in.Read(item.style) || !in.Read(rect) ||
            !in.Read(id)) {
            return in.Fail(reason, "an item's header");
        }
        item.id = LONG_PTR(LONG(id));
    } else {
        WORD id;
        if (!in.Read(item.style) || !in.Read(item.exStyle) || !in.Read(rect) || !in.Read(id)) {
            return in.Fail(reason, "an item's header");
        }
        item.id = LONG_PTR(id);
    }
    item.x = rect[0];
    item.y = rect[1];
    item.cx = rect[2];
    item.cy = rect[3];
    if (!in.Name(item.className)) return in.Fail(reason, "an item's class");
    if (!item.className.present) {
        reason = "an item without a class";
        return false;
    }
    if (item.className.IsOrdinal() && !PredefinedControlClass(item.className.ordinal)) {
        reason = "an item's class atom " + std::to_string(item.className.ordinal) + " is no predefined control";
        return false;
    }
    if (!in.Name(item.title)) return in.Fail(reason, "an item's title");
    WORD extra;
    if (!in.Read(extra)) return in.Fail(reason, "an item's creation data count");
    if (extra) {
        item.creationData = in.Here() - sizeof(WORD);
        if (!in.Skip(extra)) return in.Fail(reason, "an item's creation data");
    }
    return true;
}

}  // namespace

LPCWSTR PredefinedControlClass(WORD atom) {
    switch (atom) {
        case 0x0080: return u"Button";
        case 0x0081: return u"Edit";
        case 0x0082: return u"Static";
        case 0x0083: return u"ListBox";
        case 0x0084: return u"ScrollBar";
        case 0x0085: return u"ComboBox";
        default: return nullptr;
    }
}

bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate& out, std::string& reason) {
    out = DialogTemplate{};
    if (!data) {
        reason = "no template";
        return false;
    }
    TemplateReader in(static_cast<const BYTE*>(data), size);
    WORD head[2];
    if (!in.Read(head)) return in.Fail(reason, "the header");
    WORD count;
    short rect[4];
    if (head[0] == 1 && head[1] == 0xFFFF) {
        out.extended = true;
        if (!in.Read(out.helpId) || !in.Read(out.exStyle) || !in.Read(out.style) || !in.Read(count) ||
            !in.Read(rect)) {
            return in.Fail(reason, "the header");
        }
    } else {
        in = TemplateReader(static_cast<const BYTE*>(data), size);
        if (!in.Read(out.style) || !in.Read(out.exStyle) || !in.Read(count) || !in.Read(rect)) {
            return in.Fail(reason, "the header");
        }
    }
    out.x = rect[0];
    out.y = rect[1];
    out.cx = rect[2];
    out.cy = rect[3];
    if (!in.Name(out.menu)) return in.Fail(reason, "the menu");
    if (!in.Name(out.className)) return in.Fail(reason, "the class");
    // The title is always a string (an empty one when the template has none).
    if (!in.String(out.title.text)) return in.Fail(reason, "the title");
    out.title.present = true;
    if (out.style & DS_SETFONT) {
        out.hasFont = true;
        if (!in.Read(out.pointSize)) return in.Fail(reason, "the font");
        if (out.extended && (!in.Read(out.weight) || !in.Read(out.italic) || !in.Read(out.charSet))) {
            return in.Fail(reason, "the font");
        }
        if (!in.String(out.face)) return in.Fail(reason, "the font's face");
    }
    out.items.resize(count);
    for (WORD i = 0; i < count; ++i) {
        if (!ReadItem(in, out.extended, out.items[i], reason)) {
            reason = "item " + std::to_string(i + 1) + " of " + std::to_string(count) + ": " + reason;
            return false;
        }
    }
    return true;
}

size_t TemplateBytesAvailable(const void* data, size_t fallback) {
    {
        std::lock_guard lock(LoaderLock());
        if (Module* module = FindModuleByResource(data, nullptr)) {
            const ResFile* resources = ModuleResources(*module);
            if (const ResFile::Entry* entry = resources ? resources->EntryContaining(data) : nullptr) {
                return entry->size - size_t(static_cast<const BYTE*>(data) - entry->data);
            }
        }
    }
    // A fixed GlobalAlloc block's handle is its address; a moveable one's
    // GlobalHandle finds it from the locked address.
    DWORD error = GetLastError();
    HGLOBAL block = GlobalHandle(data);
    size_t bytes = fallback;
    if (block && GlobalLock(block) == data) {
        bytes = GlobalSize(block);
        GlobalUnlock(block);
    }
    SetLastError(error);
    return bytes;
}

}  // namespace w32
