// The check of a payload before it is embedded reads the suite description by
// the launcher's own rule: for every description, the payload check and the
// launcher's test of an extracted folder agree.
#include "tests/unit/path/PathTestSupport.h"

#include "app/preferences/PayloadCheck.h"
#include "app/preferences/SuitePreferences.h"
#include "resources/StringIds.h"
#include "tests/support/ZipBuilder.h"
#include "toolkit/ui/LauncherStrings.h"
#include "zip/facade/VxZipW.h"

using namespace vexmar;

namespace pathtest {
namespace {

using namespace Quillkit;
using namespace Pellquin;

class PayloadCheckTest : public PathTest {
protected:
    void SetUp() override {
        PathTest::SetUp();
        guid = U8(LoadLauncherString(StringId::kSuiteGuid));
        launcher.suiteGuid = LoadLauncherString(StringId::kSuiteGuid);
        launcher.setupProgram = LoadLauncherString(StringId::kSetupProgram);
        launcher.suiteDescription = LoadLauncherString(StringId::kSuiteDescription);
    }

    PayloadFacts Examine(const std::vector<testzip::Entry>& entries) {
        const std::string image = testzip::build(entries);
        VxZipW zip;
        EXPECT_TRUE(zip.OpenFromMemory(image.data(), uint32_t(image.size())));
        return ExaminePayload(zip, launcher);
    }

    std::string guid;
    LauncherIdentity launcher;
};

TEST_F(PayloadCheckTest, DescriptionsAreReadAsTheLauncherReadsThem) {
    const std::string attribute = "<suiteid packageguid=\"" + guid + "\"/>";
    // The launcher reads a line through a 256-byte buffer: what follows a NUL in
    // the same 255-byte piece is lost, and a piece whose last byte is NUL ends the line.
    const std::string cases[] = {
        attribute + "\r\n",
        "<SUITEID PACKAGEGUID=\"" + guid + "\">",
        "<suiteid name=\"x\"\r\n    packageguid=\"" + guid + "\"/>\r\n",
        std::string(400, ' ') + "<suiteid a=\"" + std::string(300, 'b') + "\" packageguid=\"" +
            guid + "\" />",
        std::string("\0", 1) + attribute,
        std::string(255, 'x') + std::string("\0", 1) + attribute,
        std::string(254, 'x') + std::string("\0", 1) + attribute,
        std::string(253, 'x') + std::string("\0", 1) + "a" + attribute,
        std::string(240, ' ') + attribute,
        "<suiteid" + std::string(250, ' ') + std::string("\0", 1) + " packageguid=\"" + guid + "\"",
        "<suiteid packageguid=\"" + guid,
        "<suiteid packageguid=\"{00000000-0000-0000-0000-000000000000}\"/>\n" + attribute,
        "\xFF\xFE" + Utf16Bytes(attribute),
        "",
    };
    int n = 0;
    for (const std::string& contents : cases) {
        SCOPED_TRACE(n);
        const std::string name = "suite" + std::to_string(n++) + "\\orvsuite.xml";
        WriteFile(name, contents);
        const bool launcherSays = SameSuiteInDirectory(StrictPath(W(Scratch(name)).c_str(), 0));
        const PayloadFacts facts = Examine({{"Installer/setup.exe", "MZ"},
                                            {"Installer/orvsuite.xml", contents}});
        EXPECT_TRUE(facts.hasSetup);
        EXPECT_TRUE(facts.hasDescription);
        EXPECT_TRUE(facts.descriptionRead);
        EXPECT_EQ(facts.sameSuite, launcherSays) << contents.substr(0, 80);
    }
}

// What each missing piece is called, and that a sound payload has no fault.
TEST_F(PayloadCheckTest, FaultsNameWhatIsMissing) {
    const std::string suite = "<suiteid packageguid=\"" + guid + "\"/>";
    const struct {
        std::vector<testzip::Entry> entries;
        std::string fault;
    } cases[] = {
        {{{"Installer/setup.exe", "MZ"}, {"Installer/orvsuite.xml", suite}}, ""},
        {{{"installer\\Setup.EXE", "MZ"}, {"INSTALLER/orvsuite.xml", suite}}, ""},
        {{{"Installer/orvsuite.xml", suite}}, "no Installer/setup.exe"},
        {{{"setup.exe", "MZ"}, {"Installer/orvsuite.xml", suite}}, "no Installer/setup.exe"},
        {{{"Installer/setup.exe", "MZ"}}, "no Installer/orvsuite.xml"},
        {{{"Installer/setup.exe", "MZ"}, {"Installer/orvsuite.xml", "<suite/>"}}, "names no suite"},
        {{{"Installer/setup.exe", "MZ"},
          {"Installer/orvsuite.xml", "<suiteid packageguid=\"{1}\"/>"}},
         "names the suite {1}, not the launcher's"},
        // A description whose data is damaged cannot be vouched for.
        {{{"Installer/setup.exe", "MZ"}, {.name = "Installer/orvsuite.xml", .data = suite,
                                          .crc32 = 1}},
         "cannot be decoded"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(n++);
        const std::string fault = PayloadFault(Examine(c.entries), launcher);
        if (c.fault.empty())
            EXPECT_EQ(fault, "");
        else
            EXPECT_NE(fault.find(c.fault), std::string::npos) << fault;
    }
}

} // namespace
} // namespace pathtest
