// setup.exe's command line from the arguments given after "--": each argument
// quoted so that the C runtime's splitting (and CommandLineToArgvW) gives it back
// unchanged.
#pragma once

#include "os/WideText.h"

#include <vector>

// `argument` as it must stand on a command line: unchanged when it holds no blank,
// tab, line break or quote and is not empty; otherwise in quotes, with a quote
// inside and the backslashes right before a quote or the closing quote escaped.
os::wstring QuoteArgument(const os::wstring& argument);

// The arguments quoted and separated by one blank; empty for none.
os::wstring JoinArguments(const std::vector<os::wstring>& arguments);
