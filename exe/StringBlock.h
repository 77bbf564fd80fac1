// One string table resource: sixteen strings, each a 16-bit length in UTF-16
// units followed by that many units. Block n (from 1) holds the ids
// 16 * (n - 1) to 16 * n - 1.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vexmar {

inline constexpr uint32_t kStringsPerBlock = 16;

using StringBlock = std::array<std::u16string, kStringsPerBlock>;

// The strings of a block's data; a block cut short holds no further strings,
// which read as empty.
StringBlock decodeStringBlock(const uint8_t* data, uint32_t size);
// The data of a block. False when a string is longer than 65535 units.
bool encodeStringBlock(const StringBlock& block, std::vector<uint8_t>& data);

} // namespace vexmar
