// WinResources: RCDATA resources of the running executable.
#include "base/error.h"
#include "win/platform_win.h"
#include "win/text.h"

namespace setup::win {

std::span<const uint8_t> WinResources::Find(const std::string& name) {
    HMODULE module = module_ ? module_ : ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, Wide(name).c_str(), RT_RCDATA);
    if (!info) throw Error("Resource " + name + " not found");
    DWORD size = ::SizeofResource(module, info);
    if (size == 0) return {};
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) throw Error("Resource " + name + " not found");
    // Resource memory is part of the mapped image: valid until the module is unloaded.
    return {static_cast<const uint8_t*>(data), size};
}

}  // namespace setup::win
