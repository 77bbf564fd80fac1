// Reading and editing the strings of an executable's string tables, as
// LoadString finds them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vexmar {

class ExeImage;
class LogBase;

// String `id` of the string table in `language`, or of the first table that has
// it when `language` is 0 or has no table. False when no table holds the string
// (an empty string counts as absent, as LoadString sees it).
bool readStringResource(const ExeImage& image, uint32_t id, uint16_t language,
                        std::u16string& text);

// Called for every string of every language's tables (absent ones as empty);
// what it leaves in `text` becomes the string.
using StringEdit = std::function<void(uint32_t id, uint16_t language, std::u16string& text)>;

// Runs `edit` over every table and gives the image the tables it changed. False
// when the image has no string tables or a string grows beyond 65535 units.
bool editStringTables(ExeImage& image, const StringEdit& edit, LogBase& log);

} // namespace vexmar
