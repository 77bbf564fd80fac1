// Whether the process talks to a person: progress lines are for terminals only.
#pragma once

namespace os {

[[nodiscard]] bool stdoutIsTerminal();

} // namespace os
