#include "codecs/lzma/LzmaProperties.h"

namespace vexmar::lzma {

bool parseProperties(const uint8_t* bytes, Properties& properties) {
    unsigned contexts = bytes[0];
    if (contexts >= 9 * 5 * 5)
        return false;
    properties.lc = contexts % 9;
    contexts /= 9;
    properties.lp = contexts % 5;
    properties.pb = contexts / 5;
    if (properties.lc + properties.lp > 4)
        return false;
    properties.dictionarySize = uint32_t(bytes[1]) | uint32_t(bytes[2]) << 8 |
                                uint32_t(bytes[3]) << 16 | uint32_t(bytes[4]) << 24;
    if (properties.dictionarySize < kMinDictionary)
        properties.dictionarySize = kMinDictionary;
    return true;
}

} // namespace vexmar::lzma
