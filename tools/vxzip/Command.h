// vxzip's commands and what they share.
#pragma once

#include "zip/facade/VxZipW.h"

#include <string>
#include <vector>

namespace vxzip {

struct Options {
    std::string command;
    std::vector<std::string> operands;
    int oemCodePage = 0; // 0: the engine's default
    bool printLog = false;
    bool hasPassword = false;
    std::string password;                     // its bytes exactly as given
    std::string resourceName = "IDR_VEXMAR1"; // an executable's payload resource
};

// Exit statuses.
constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// Opens the archive named by the first operand (an executable through its payload
// resource); on failure prints why and returns false.
bool openArchive(VxZipW& zip, const Options& options);
// Prints the last operation's log: on stdout with --log, on stderr after a failure.
void reportLog(const VxZipW& zip, const Options& options, bool ok);

int listCommand(const Options& options);
int logCommand(const Options& options);
int testCommand(const Options& options);
int extractCommand(const Options& options);
int embedCommand(const Options& options);

} // namespace vxzip
