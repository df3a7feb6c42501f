// Resources of loaded modules: FindResource, LoadResource, the enumeration
// functions. A module's resources are its .res file, read and indexed once
// when the module loads (the program's on first use). An HRSRC is the address
// of an entry of that index and an HGLOBAL the address of the data itself.
//
// A handle that names no loaded module gives ERROR_RESOURCE_DATA_NOT_FOUND,
// as does a module without resources; an HRSRC that is no module's gives
// ERROR_INVALID_HANDLE.
#include <windows.h>

#include <string>

#include "kernel32/ansitext.h"
#include "kernel32/loader.h"
#include "machine/machine.h"

using namespace w32;

namespace {

std::vector<LANGID> LanguageOrder(WORD language) {
    const auto& settings = Machine::Current().Settings();
    return ResourceLanguageOrder(language, settings.uiLanguage, settings.userLanguage, settings.systemLanguage);
}

// The module's resources, or null with the last error set.
const ResFile* ResourcesOf(HMODULE handle, Module** moduleOut = nullptr) {
    Module* module = FindModule(handle);
    const ResFile* resources = module ? ModuleResources(*module) : nullptr;
    if (!resources) SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    if (moduleOut) *moduleOut = module;
    return resources;
}

const ResFile::Entry* EntryOf(HMODULE handle, HRSRC info) {
    Module* hint = FindModule(handle);
    Module* owner = info ? FindModuleByResource(info, hint) : nullptr;
    const ResFile::Entry* entry = owner ? ModuleResources(*owner)->EntryFromHandle(info) : nullptr;
    if (!entry) SetLastError(ERROR_INVALID_HANDLE);
    return entry;
}

// An ANSI resource name or type as the wide functions take it.
bool WideResource(LPCSTR value, std::u16string& storage, LPCWSTR& out) {
    if (IS_INTRESOURCE(value)) {
        out = reinterpret_cast<LPCWSTR>(value);
        return true;
    }
    if (!AnsiToWide(value, storage)) return false;
    out = storage.c_str();
    return true;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// The frame of the enumeration functions: a callback is required, and
// `body(module, resources)` runs under the loader's lock once the module's
// resources are found.
template <class Body>
BOOL EnumerateResources(HMODULE hModule, bool hasCallback, Body body) {
    if (!hasCallback) return Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(LoaderLock());
    Module* module = nullptr;
    const ResFile* resources = ResourcesOf(hModule, &module);
    if (!resources) return FALSE;
    return body(*module, *resources);
}

// Hands each item to the caller's callback through `offer`; a callback that
// returns FALSE stops the enumeration with ERROR_RESOURCE_ENUM_USER_STOP.
template <class Items, class Offer>
BOOL OfferEach(const Items& items, Offer offer) {
    for (const auto& item : items)
        if (!offer(item)) return Fail(ERROR_RESOURCE_ENUM_USER_STOP);
    return TRUE;
}

}  // namespace

HRSRC WINAPI FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage) {
    std::lock_guard lock(LoaderLock());
    const ResFile* resources = ResourcesOf(hModule);
    if (!resources) return nullptr;
    DWORD error = ERROR_SUCCESS;
    const ResFile::Entry* entry =
        resources->Find(ResId::From(lpType), ResId::From(lpName), LanguageOrder(wLanguage), error);
    if (!entry) {
        SetLastError(error);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<ResFile::Entry*>(entry));
}

HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
    return FindResourceExW(hModule, lpType, lpName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage) {
    std::u16string typeText, nameText;
    LPCWSTR type = nullptr, name = nullptr;
    if (!WideResource(lpType, typeText, type) || !WideResource(lpName, nameText, name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return FindResourceExW(hModule, type, name, wLanguage);
}

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
    return FindResourceExA(hModule, lpType, lpName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    std::lock_guard lock(LoaderLock());
    const ResFile::Entry* entry = EntryOf(hModule, hResInfo);
    if (!entry) return nullptr;
    return const_cast<BYTE*>(entry->data);
}

LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    std::lock_guard lock(LoaderLock());
    const ResFile::Entry* entry = EntryOf(hModule, hResInfo);
    return entry ? entry->size : 0;
}

BOOL WINAPI FreeResource(HGLOBAL) { return FALSE; }

BOOL WINAPI EnumResourceTypesW(HMODULE hModule, ENUMRESTYPEPROCW lpEnumFunc, LONG_PTR lParam) {
    return EnumerateResources(hModule, lpEnumFunc != nullptr, [&](Module& module, const ResFile& resources) {
        return OfferEach(resources.Types(),
                         [&](const ResId* type) { return lpEnumFunc(module.Handle(), type->AsResource(), lParam); });
    });
}

BOOL WINAPI EnumResourceNamesW(HMODULE hModule, LPCWSTR lpType, ENUMRESNAMEPROCW lpEnumFunc, LONG_PTR lParam) {
    return EnumerateResources(hModule, lpEnumFunc != nullptr, [&](Module& module, const ResFile& resources) {
        const auto* names = resources.Names(ResId::From(lpType));
        if (!names) return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return OfferEach(
            *names, [&](const ResId* name) { return lpEnumFunc(module.Handle(), lpType, name->AsResource(), lParam); });
    });
}

BOOL WINAPI EnumResourceLanguagesW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, ENUMRESLANGPROCW lpEnumFunc,
                                   LONG_PTR lParam) {
    return EnumerateResources(hModule, lpEnumFunc != nullptr, [&](Module& module, const ResFile& resources) {
        ResId type = ResId::From(lpType);
        if (!resources.Names(type)) return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
        auto languages = resources.Languages(type, ResId::From(lpName));
        if (languages.empty()) return Fail(ERROR_RESOURCE_NAME_NOT_FOUND);
        return OfferEach(languages,
                         [&](WORD language) { return lpEnumFunc(module.Handle(), lpType, lpName, language, lParam); });
    });
}
