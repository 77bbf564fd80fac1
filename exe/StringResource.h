// Reading one string of an executable's string tables, as LoadString finds it.
#pragma once

#include <cstdint>
#include <string>

class ExeImage;

// String `id` of the string table in `language`, or of the first table that has
// it when `language` is 0 or has no table. False when no table holds the string
// (an empty string counts as absent, as LoadString sees it).
bool readStringResource(const ExeImage& image, uint32_t id, uint16_t language,
                        std::u16string& text);

