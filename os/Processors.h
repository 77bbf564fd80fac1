// How many processors the process may run on.
#pragma once

namespace os {

// At least 1.
unsigned processorCount();

} // namespace os
