// Entry-name patterns: `*` matches any run of characters, letters match either case.
#pragma once

bool matchesNamePattern(const char* name, const char* pattern);
