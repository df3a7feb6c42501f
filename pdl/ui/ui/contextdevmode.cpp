// Copies between a UiContext and the 5084-byte settings image, and the
// process-wide holder of the last context.
#include "ui/ui/contextdevmode.h"

#include <cstring>
#include <new>

static_assert(CONTEXT_DEVMODE_IMAGE_SIZE == 5084);

BOOL LoadDevmodeIntoContext(UiContext* context, const BYTE* image) {
    if (!context || !image || !context->priv || !context->pub) return FALSE;
    std::memcpy(context->priv, image, PRIVATE_DEVMODE_SIZE);
    std::memcpy(context->pub, image + PRIVATE_DEVMODE_SIZE, sizeof(DEVMODEW));
    return TRUE;
}

BOOL StoreContextDevmode(const UiContext* context, BYTE* image) {
    if (!context || !image || !context->priv || !context->pub) return FALSE;
    std::memcpy(image, context->priv, PRIVATE_DEVMODE_SIZE);
    std::memcpy(image + PRIVATE_DEVMODE_SIZE, context->pub, sizeof(DEVMODEW));
    return TRUE;
}

namespace {

// Copies a whole context and aims the copy's devmode pointers at its own
// devmode, so that it never reaches into the context it was taken from. The
// settings copied are those the source's pointers aim at, which are its own
// devmode unless a caller aimed them elsewhere.
void CopyContext(UiContext* to, const UiContext& from) {
    *to = from;
    if (from.priv && from.priv != &from.devmode.priv) to->devmode.priv = *from.priv;
    if (from.pub && from.pub != &from.devmode.pub) to->devmode.pub = *from.pub;
    to->priv = &to->devmode.priv;
    to->pub = &to->devmode.pub;
}

}  // namespace

BOOL SharedContextHolder::Set(const UiContext* context) {
    if (!context) return FALSE;
    std::lock_guard<std::mutex> guard(lock_);
    if (!copy_) {
        copy_.reset(new (std::nothrow) UiContext{});
        if (!copy_) return FALSE;
    }
    CopyContext(copy_.get(), *context);
    return TRUE;
}

BOOL SharedContextHolder::Get(UiContext* out) const {
    if (!out) return FALSE;
    std::lock_guard<std::mutex> guard(lock_);
    if (!copy_) return FALSE;
    CopyContext(out, *copy_);
    return TRUE;
}

void SharedContextHolder::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    copy_.reset();
}

SharedContextHolder& GetSharedContextHolder() {
    static SharedContextHolder holder;
    return holder;
}
