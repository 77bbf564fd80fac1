// A log that discards everything, for engine code that has none at hand.
#pragma once

#include "zip/base/LogBase.h"

class LogNull final : public LogBase {};
