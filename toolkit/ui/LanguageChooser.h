// Choosing the UI language among the languages of the string tables: the one
// that best fits the user's language.
#pragma once

#include "os/ModuleInfo.h"

#include <cstdint>
#include <vector>

namespace Quillkit {

class LanguageChooser {
public:
    // The process-wide chooser, empty until used; callers work on a copy.
    static LanguageChooser& Instance();

    // Picks the candidate with the best score against the user's UI language (the
    // earliest among equals). Without a candidate list, the languages in which
    // string block `blockNumber` exists in `module` are the candidates. False when
    // there are none (or they cannot be listed): the choice stays the default.
    bool Choose(uint32_t blockNumber, os::ModuleHandle module, uint16_t defaultLanguage,
                uint32_t defaultCodePage, const std::vector<uint16_t>* candidates);

    // 5: the same language; 4: the same primary language, candidate without a
    // sublanguage, and the target's ANSI code page is the candidate's; 3: as 4
    // with a sublanguage; 2: the default language; 1: anything else.
    int ScoreLanguage(uint16_t candidate, uint16_t target) const;

    const std::vector<uint16_t>& Candidates() const { return candidates_; }
    uint16_t Chosen() const { return chosen_; }
    uint32_t ChosenCodePage() const { return chosenCodePage_; }

private:
    std::vector<uint16_t> candidates_;
    uint16_t chosen_ = 0;
    uint16_t default_ = 0;
    uint32_t chosenCodePage_ = 0;
    uint32_t defaultCodePage_ = 0;
    os::ModuleHandle module_ = nullptr;
};

} // namespace Quillkit
