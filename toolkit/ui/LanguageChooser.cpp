#include "toolkit/ui/LanguageChooser.h"

#include "os/Resources.h"
#include "toolkit/ui/UILanguage.h"

namespace Quillkit {

namespace {
constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
}

LanguageChooser& LanguageChooser::Instance() {
    static LanguageChooser instance;
    return instance;
}

bool LanguageChooser::Choose(uint32_t blockNumber, os::ModuleHandle module,
                             uint16_t defaultLanguage, uint32_t defaultCodePage,
                             const std::vector<uint16_t>* candidates) {
    chosen_ = default_ = defaultLanguage;
    chosenCodePage_ = defaultCodePage_ = defaultCodePage;
    module_ = module;
    if (candidates) {
        candidates_ = *candidates;
    } else if (!os::resourceLanguages(module, os::kResourceTypeString, uint16_t(blockNumber),
                                      candidates_)) {
        return false;
    }
    if (candidates_.empty())
        return false;
    uint16_t target = GetUserUILanguage();
    int best = 0;
    for (uint16_t candidate : candidates_) {
        int score = ScoreLanguage(candidate, target);
        if (score > best) {
            chosen_ = candidate;
            best = score;
        }
    }
    chosenCodePage_ = GetAnsiCodePage(chosen_);
    return true;
}

int LanguageChooser::ScoreLanguage(uint16_t candidate, uint16_t target) const {
    if (candidate == target)
        return 5;
    if ((candidate & kPrimaryLanguageMask) == (target & kPrimaryLanguageMask) &&
        GetAnsiCodePageOrSystem(target) == GetAnsiCodePage(candidate))
        return (candidate >> 10) == 0 ? 4 : 3;
    if (candidate == default_)
        return 2;
    return 1;
}

} // namespace Quillkit
