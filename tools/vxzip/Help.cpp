#include "tools/vxzip/Help.h"

using namespace vexmar;

namespace vxzip {

namespace {

const char* const kOptions =
    "options (before or after the command):\n"
    "  --oem-codepage N  code page of entry names without the UTF-8 flag (default 437)\n"
    "  --password PW     the password of encrypted entries, its bytes as given\n"
    "  --resource NAME   the payload resource of an executable (default IDR_VEXMAR1)\n"
    "  -j N, --jobs N    threads that decode and write entries (default: one per\n"
    "                    processor, at most 8); 1 does everything on one thread\n"
    "  --log             also print the engine's log of the run, as XML, on stdout\n"
    "  --help, -h        print this help\n"
    "  --version         print the version\n"
    "  --                end of options: what follows is an operand\n";

const char* const kStatuses = "exit status: 0 done, 1 failed, 2 usage error\n";

std::string synopsis(const CommandInfo& c) {
    std::string text = c.name;
    for (const char* operand : c.operands)
        text += std::string(" ") + operand;
    return text;
}

} // namespace

void printHelp(std::FILE* out, const CommandInfo* command) {
    if (command) {
        std::fprintf(out, "usage: vxzip %s [OPTIONS]\n\n%s\n\n%s\n%s", synopsis(*command).c_str(),
                     command->detail, kOptions, kStatuses);
        return;
    }
    std::fputs("usage: vxzip COMMAND [OPTIONS] OPERANDS\n\ncommands:\n", out);
    for (const CommandInfo& c : commands())
        std::fprintf(out, "  %-21s%s\n", synopsis(c).c_str(), c.summary);
    std::fprintf(out, "  %-21s%s\n", "help [COMMAND]", "describe one command");
    std::fprintf(out,
                 "\n%s\nARCHIVE is a ZIP file, or an executable carrying one as its payload "
                 "resource.\n%s",
                 kOptions, kStatuses);
}

void printVersion(std::FILE* out) {
    std::fprintf(out, "vxzip %s\n", VXZIP_VERSION);
}

int usageError(const std::string& problem) {
    std::fprintf(stderr, "vxzip: %s\nTry 'vxzip help' for more information.\n", problem.c_str());
    return kUsage;
}

} // namespace vxzip
