// A log that discards everything, for engine code that has none at hand.
#pragma once

#include "zip/base/LogBase.h"

namespace vexmar {

class LogNull final : public LogBase {};

} // namespace vexmar
