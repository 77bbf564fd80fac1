// vxzip's commands and what they share.
#pragma once

#include <string>
#include <vector>

namespace vxzip {

struct Options {
    std::string command;
    std::vector<std::string> operands;
    int oemCodePage = 0; // 0: the engine's default
};

// Exit statuses.
constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

int listCommand(const Options& options);
int logCommand(const Options& options);

} // namespace vxzip
