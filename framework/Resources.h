// Raw bytes of a compiled-in resource.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace fw {

// The bytes of resource `name` of `type`, looked for in the resource module first and then in the executable; empty
// when neither has it or it cannot be loaded. The bytes stay valid for the life of the module.
std::span<const std::uint8_t> FindResourceData(const wchar_t* name, const wchar_t* type);

}  // namespace fw
