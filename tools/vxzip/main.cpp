// vxzip: the engine's command-line tool.
#include "tools/vxzip/Command.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct CommandInfo {
    const char* name;
    int operands;
    int (*run)(const vxzip::Options&);
    const char* help;
};

constexpr CommandInfo kCommands[] = {
    {"list", 1, vxzip::listCommand,
     "list ARCHIVE      one line per entry: method, compressed "
     "size, size, CRC-32, D for a directory, name"},
    {"test", 1, vxzip::testCommand,
     "test ARCHIVE      decode every entry and check it, writing "
     "nothing"},
    {"extract", 2, vxzip::extractCommand, "extract ARCHIVE DIR  write every entry below DIR"},
    {"log", 1, vxzip::logCommand, "log ARCHIVE       the engine's log of opening the archive"},
    {"embed", 2, vxzip::embedCommand,
     "embed EXE ZIP     write ZIP into EXE as its payload resource"},
};

int usage() {
    std::fputs("usage: vxzip COMMAND [--oem-codepage N] [--log] [--resource NAME] [--password PW]\n"
               "             OPERANDS\n"
               "  --oem-codepage N  code page of entry names without the UTF-8 flag\n"
               "  --log             print the engine's log of the run\n"
               "  --resource NAME   the payload resource of an executable (default "
               "IDR_VEXMAR1);\n"
               "                    an ARCHIVE that is an executable is opened through it\n"
               "  --password PW     the password of encrypted entries, its bytes as given\n"
               "commands:\n",
               stderr);
    for (const auto& c : kCommands)
        std::fprintf(stderr, "  %s\n", c.help);
    return vxzip::kUsage;
}

bool parseCodePage(const char* text, int& out) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!*text || *end || value <= 0 || value > 65535)
        return false;
    out = static_cast<int>(value);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return usage();
    vxzip::Options options;
    options.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--oem-codepage") == 0) {
            if (i + 1 >= argc || !parseCodePage(argv[++i], options.oemCodePage))
                return usage();
        } else if (std::strcmp(argv[i], "--log") == 0) {
            options.printLog = true;
        } else if (std::strcmp(argv[i], "--resource") == 0) {
            if (i + 1 >= argc || !*argv[i + 1])
                return usage();
            options.resourceName = argv[++i];
        } else if (std::strcmp(argv[i], "--password") == 0) {
            if (i + 1 >= argc)
                return usage();
            options.password = argv[++i];
            options.hasPassword = true;
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            return usage();
        } else {
            options.operands.emplace_back(argv[i]);
        }
    }
    for (const auto& c : kCommands) {
        if (options.command == c.name) {
            if (static_cast<int>(options.operands.size()) != c.operands)
                return usage();
            return c.run(options);
        }
    }
    return usage();
}
