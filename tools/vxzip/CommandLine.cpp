#include "tools/vxzip/CommandLine.h"

#include <cstdlib>
#include <cstring>

using namespace vexmar;

namespace vxzip {

namespace {

bool parseCodePage(const std::string& text, int& out) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || value <= 0 || value > 65535)
        return false;
    out = static_cast<int>(value);
    return true;
}

// Worker counts beyond this are surely a typing error.
constexpr long kMaxWorkers = 64;

bool parseWorkers(const std::string& text, uint32_t& out) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || value < 1 || value > kMaxWorkers)
        return false;
    out = static_cast<uint32_t>(value);
    return true;
}

CommandLine failure(std::string message) {
    CommandLine line;
    line.action = CommandLine::kError;
    line.error = std::move(message);
    return line;
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

// brand's options; each takes a value.
bool isBrandOption(const std::string& name) {
    static const char* const names[] = {"--name",   "--folder", "--guid",    "--languages",
                                        "--banner", "--icon",   "--vendor",  "--url",
                                        "--company", "--product", "--version"};
    for (const char* known : names)
        if (name == known)
            return true;
    return false;
}

// Options that take a value, given as "--name VALUE" or "--name=VALUE".
bool takesValue(const std::string& name) {
    return name == "--oem-codepage" || name == "--resource" || name == "--password" ||
           name == "--jobs" || isBrandOption(name);
}

// Empty when the value is accepted, else the problem.
std::string applyValue(const std::string& name, const std::string& value, Options& options) {
    if (name == "--oem-codepage") {
        if (!parseCodePage(value, options.oemCodePage))
            return "--oem-codepage: " + quoted(value) + " is not a code page number (1 to 65535)";
    } else if (name == "--jobs") {
        if (!parseWorkers(value, options.workers))
            return "--jobs: " + quoted(value) + " is not a number of threads (1 to 64)";
    } else if (isBrandOption(name)) {
        for (const auto& given : options.brand)
            if (given.first == name)
                return name + " is given twice";
        options.brand.emplace_back(name, value);
    } else if (name == "--resource") {
        if (value.empty())
            return "--resource: the resource name is empty";
        options.resourceName = value;
    } else {
        options.password = value;
        options.hasPassword = true;
    }
    return {};
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    Options& options = line.options;
    bool help = false;
    bool version = false;
    bool haveCommand = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!isOption) {
            if (!haveCommand) {
                options.command = arg;
                haveCommand = true;
            } else {
                options.operands.push_back(arg);
            }
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            help = true;
            continue;
        }
        // "--version" alone asks for vxzip's version; with a version number
        // ("--version 1.2.3.4", "--version=1.2.3.4") it is brand's option.
        const bool versionNumberFollows = i + 1 < argc && argv[i + 1][0] >= '0' &&
                                          argv[i + 1][0] <= '9';
        if (arg == "--version" && !versionNumberFollows) {
            version = true;
            continue;
        }
        if (arg == "--log") {
            options.printLog = true;
            continue;
        }
        // -jN and -j N stand for --jobs.
        size_t equals = arg.find('=');
        std::string name = arg.substr(0, equals);
        if (arg.rfind("-j", 0) == 0 && equals == std::string::npos) {
            name = "--jobs";
            if (arg.size() > 2)
                equals = 1;
        }
        if (!takesValue(name))
            return failure("unknown option " + quoted(arg));
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return failure("option " + quoted(name) + " needs a value");
        }
        const std::string problem = applyValue(name, value, options);
        if (!problem.empty())
            return failure(problem);
    }

    if (version) {
        line.action = CommandLine::kVersion;
        return line;
    }
    // "vxzip help [COMMAND]", and --help after any command or none.
    const bool helpCommand = haveCommand && options.command == "help";
    if (help || helpCommand) {
        line.action = CommandLine::kHelp;
        std::string topic;
        if (helpCommand) {
            if (options.operands.size() > 1)
                return failure("help: unexpected operand " + quoted(options.operands[1]));
            if (!options.operands.empty())
                topic = options.operands[0];
        } else if (haveCommand) {
            topic = options.command;
        }
        if (!topic.empty()) {
            line.command = findCommand(topic);
            if (!line.command)
                return failure("help: unknown command " + quoted(topic));
        }
        return line;
    }
    if (!haveCommand)
        return failure("no command given");
    line.command = findCommand(options.command);
    if (!line.command)
        return failure("unknown command " + quoted(options.command));
    const auto& wanted = line.command->operands;
    if (options.operands.size() < wanted.size())
        return failure(options.command + ": missing " + wanted[options.operands.size()]);
    if (options.operands.size() > wanted.size())
        return failure(options.command + ": unexpected operand " +
                       quoted(options.operands[wanted.size()]));
    for (size_t i = 0; i < wanted.size(); ++i)
        if (options.operands[i].empty())
            return failure(options.command + ": " + wanted[i] + " is empty");
    const bool branding = options.command == "brand";
    if (!branding && !options.brand.empty())
        return failure(options.brand.front().first + " is an option of brand only");
    if (branding && options.brand.empty())
        return failure("brand: nothing to change (give --name, --icon or another option)");
    return line;
}

} // namespace vxzip
