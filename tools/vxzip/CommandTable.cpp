#include "tools/vxzip/Command.h"

using namespace vexmar;

namespace vxzip {

const std::vector<CommandInfo>& commands() {
    static const std::vector<CommandInfo> table = {
        {"list",
         {"ARCHIVE"},
         listCommand,
         "list the entries: method, sizes, CRC-32, name",
         "One line per entry: compression method (its name, or its number for one\n"
         "without a name), compressed size, size, CRC-32, D for a folder, name; a\n"
         "header above and the totals below."},
        {"test",
         {"ARCHIVE"},
         testCommand,
         "decode every entry and check it, writing nothing",
         "Every file is decoded and checked against its size and CRC-32; nothing is\n"
         "written. Ends with the number of entries found good."},
        {"extract",
         {"ARCHIVE", "DIR"},
         extractCommand,
         "write every entry below DIR",
         "Writes every entry below DIR, which is created when missing, keeping the\n"
         "stored times (and on Linux the stored execute permissions). A name that\n"
         "would lead outside DIR is refused. When an entry fails, the others are still\n"
         "written and a summary line ends the run."},
        {"log",
         {"ARCHIVE"},
         logCommand,
         "print the engine's log of opening the archive",
         "Prints the engine's own log, as XML, of opening the archive."},
        {"embed",
         {"EXE", "ZIP"},
         embedCommand,
         "make EXE carry ZIP as its payload resource",
         "Rewrites EXE so that it carries ZIP as its raw-data resource (named by\n"
         "--resource). As the launcher's payload (IDR_VEXMAR1), EXE must be a launcher\n"
         "(naming its suite GUID in string 136) and ZIP must hold Installer/setup.exe\n"
         "and an Installer/orvsuite.xml whose <suiteid packageguid=\"{...}\"> names that\n"
         "GUID. EXE is left untouched when anything fails or is refused."},
        {"brand",
         {"EXE"},
         brandCommand,
         "make a launcher another suite's: name, folder, GUID, banner, icon, vendor",
         "Rewrites the launcher EXE with what the options give; each is optional:\n"
         "  --name TEXT        the suite's name (title and welcome text)\n"
         "  --folder TEXT      its folder below the download root (one backslash at most)\n"
         "  --guid {GUID}      its GUID, {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}\n"
         "  --languages LIST   the candidate UI languages, LANGIDs in decimal: 1031,1033\n"
         "  --banner FILE.bmp  the banner strip (578 x 59 pixels, 24 bits, fits best)\n"
         "  --icon FILE.ico    the icon, with all the images of the file\n"
         "  --vendor NAME      the vendor: in every text that names it, the download\n"
         "                     root (\"NAME Downloads\") and the preferences folder\n"
         "  --url URL          the web address of the extract-only success message\n"
         "  --company TEXT, --product TEXT, --version A.B.C.D\n"
         "                     the version resource Windows shows in the properties\n"
         "Strings change in every language's table. A bad value, a BMP or ICO that is\n"
         "cut short or that Windows cannot show, a name or folder so long that the\n"
         "launcher would refuse every download folder, and a signed EXE are refused\n"
         "with EXE untouched. Brand before vxzip embed, and sign last."},
        {"info",
         {"EXE"},
         infoCommand,
         "describe an installer: format, suite, languages, signature, payload",
         "Prints what EXE is: PE32 or PE32+, the suite's name, folder and GUID, the\n"
         "UI languages, whether it is signed, its version texts, and its payload's\n"
         "entries and size, whether the payload holds Installer/setup.exe and an\n"
         "Installer/orvsuite.xml naming the launcher's suite. What would make the\n"
         "installer fail is a warning on stderr."},
    };
    return table;
}

const CommandInfo* findCommand(const std::string& name) {
    for (const CommandInfo& c : commands())
        if (name == c.name)
            return &c;
    return nullptr;
}

} // namespace vxzip
