// vxzip's commands and what they share.
#pragma once

#include "tools/vxzip/Cause.h"
#include "zip/facade/VxZipW.h"

#include <string>
#include <utility>
#include <vector>

namespace vxzip {

// The resource a launcher extracts its payload from.
inline constexpr const char* kLauncherPayloadResource = "IDR_VEXMAR1";

struct Options {
    std::string command;
    std::vector<std::string> operands;
    int oemCodePage = 0; // 0: the engine's default
    bool printLog = false;
    bool hasPassword = false;
    std::string password;                     // its bytes exactly as given
    std::string resourceName = kLauncherPayloadResource; // an executable's payload resource
    uint32_t workers = 0;                     // 0: the engine's default
    // brand's options ("--name" and the like) with their values, in the order given.
    std::vector<std::pair<std::string, std::string>> brand;
};

// Exit statuses.
constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

struct CommandInfo {
    const char* name;
    std::vector<const char*> operands; // their names, as the help shows them
    int (*run)(const Options&);
    const char* summary; // one line for the command list
    const char* detail;  // what `vxzip help COMMAND` adds
};

// Null when no command has that name.
const CommandInfo* findCommand(const std::string& name);
const std::vector<CommandInfo>& commands();

// Opens the archive named by the first operand (an executable through its payload
// resource); on failure prints why in one line and returns false.
bool openArchive(vexmar::VxZipW& zip, const Options& options);
// What the causes of failures may need to know of the command line.
CauseFacts causeFacts(const Options& options);
// With --log, prints the last operation's log on stdout.
void printLogIfAsked(const vexmar::VxZipW& zip, const Options& options);

int listCommand(const Options& options);
int logCommand(const Options& options);
int testCommand(const Options& options);
int extractCommand(const Options& options);
int embedCommand(const Options& options);
int infoCommand(const Options& options);
int brandCommand(const Options& options);

} // namespace vxzip
