// How a level of the resource tree names a type or a resource: by a 16-bit id
// or by a UTF-16 name.
#pragma once

#include <cstdint>
#include <string>

namespace vexmar {

struct ResourceKey {
    uint16_t id = 0;
    std::u16string name; // empty: the key is `id`

    static ResourceKey ofId(uint16_t id) { return {id, {}}; }
    static ResourceKey ofName(std::u16string name) { return {0, std::move(name)}; }
    bool isNamed() const { return !name.empty(); }
};

// Resource types the launcher's branding touches.
namespace restype {
inline constexpr uint16_t kIcon = 3;
inline constexpr uint16_t kBitmap = 2;
inline constexpr uint16_t kString = 6;
inline constexpr uint16_t kGroupIcon = 14;
inline constexpr uint16_t kVersion = 16;
} // namespace restype

} // namespace vexmar
