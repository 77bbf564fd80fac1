// Whether the process talks to a person: progress lines are for terminals only.
#pragma once

namespace os {

bool stdoutIsTerminal();

} // namespace os
