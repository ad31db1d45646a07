// Raw bytes of a compiled-in resource.
#include "framework/Resources.h"

#include "framework/Application.h"

namespace fw {

std::span<const std::uint8_t> FindResourceData(const wchar_t* name, const wchar_t* type) {
    for (HMODULE module : {static_cast<HMODULE>(ResourceModule()), GetModuleHandleW(nullptr)}) {
        HRSRC found = FindResourceW(module, name, type);
        if (!found) continue;
        HGLOBAL loaded = LoadResource(module, found);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        const DWORD size = SizeofResource(module, found);
        if (data && size) return {static_cast<const std::uint8_t*>(data), size};
    }
    return {};
}

}  // namespace fw
