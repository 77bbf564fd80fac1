// Entry-name patterns: `*` matches any run of characters, letters match either case.
#pragma once

namespace vexmar {

bool matchesNamePattern(const char* name, const char* pattern);

} // namespace vexmar
