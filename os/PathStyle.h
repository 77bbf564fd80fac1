// How this system writes paths to people.
#pragma once

namespace os {

// The separator of the system's own paths: "\" on Windows, "/" elsewhere.
char pathSeparator();

} // namespace os
