// The user's UI language, the code pages of languages, and the start-up choice of
// the toolkit's UI language.
#pragma once

#include "toolkit/diag/Text.h"

#include <cstdint>
#include <vector>

namespace Quillkit {

// The user's default language, with custom locales named by their locale name and
// the Chinese variants other than the PRC's taken as English (United States).
uint16_t GetUserUILanguage();

// The locale's default ANSI code page of a language, 0 when unknown.
uint32_t GetAnsiCodePage(uint16_t language);
// The same, falling back to the system default locale's; 0 when that fails too.
uint32_t GetAnsiCodePageOrSystem(uint16_t language);

// The LANGIDs of a comma-separated list in decimal, in order; a piece that is not a
// number (an empty one too) gives 0.
std::vector<uint16_t> ParseLanguageList(const WString& list);

// Sets the toolkit's UI language from the candidate list in launcher string 163.
void ChooseUILanguage();

} // namespace Quillkit
