// Embedding a ZIP into executables built by the MinGW compilers: PE32 and PE32+,
// with .reloc and debug sections after .rsrc and an overlay (symbol table and tail).
#include "exe/PeFormat.h"
#include "tests/support/ZipBuilder.h"
#include "tests/unit/exe/ExeFixture.h"

#include <algorithm>

using namespace vexmar;

namespace {

struct Case {
    const char* arch;
    const char* program;
};

std::string zipOf(size_t bytes) {
    std::string data(bytes, '\0');
    uint32_t x = 12345;
    for (char& c : data) {
        x = x * 1103515245 + 12345;
        c = char(x >> 24);
    }
    return testzip::build(
        {{.name = "Installer/setup.exe", .data = data},
         {.name = "Installer/orvsuite.xml", .data = "<suiteid packageguid=\"x\"/>"}});
}

class RealExe : public testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        source_ = exefixture::path(GetParam().program, GetParam().arch);
        if (!exefixture::exists(source_))
            GTEST_SKIP() << "no fixture " << source_ << " (MinGW compiler missing)";
        original_ = scratch::readAll(source_);
        target_ = dir_[std::string("target") + (source_.ends_with(".dll") ? ".dll" : ".exe")];
        scratch::writeAll(target_, original_);
    }

    // Embeds the ZIP under "IDR_VEXMAR1" into target_ (written to embedded_).
    void embed(const std::string& zip) {
        zip_ = dir_["payload.zip"];
        scratch::writeAll(zip_, zip);
        Logger log;
        auto image = ExeImage::loadExe(scratch::X(target_), log);
        ASSERT_TRUE(image) << scratch::logText(log);
        ASSERT_TRUE(image->addResourceFromFile(u"IDR_VEXMAR1", scratch::X(zip_), log));
        embedded_ = dir_["embedded" + target_.substr(target_.size() - 4)];
        ASSERT_TRUE(image->writeExe(scratch::X(embedded_), nullptr, log)) << scratch::logText(log);
    }

    std::unique_ptr<ExeImage> load(const std::string& file) {
        Logger log;
        auto image = ExeImage::loadExe(scratch::X(file), log);
        EXPECT_TRUE(image) << scratch::logText(log);
        return image;
    }

    scratch::Dir dir_;
    std::string source_, original_, target_, zip_, embedded_;
};

TEST_P(RealExe, KeepsTheLayoutRulesAndEveryByteItCarriesOver) {
    const std::string zip = zipOf(20000);
    ASSERT_NO_FATAL_FAILURE(embed(zip));
    auto before = load(target_);
    auto after = load(embedded_);
    ASSERT_TRUE(before && after);
    const std::string out = scratch::readAll(embedded_);

    // The payload is the ZIP file's bytes, unchanged.
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    Logger log;
    ASSERT_TRUE(after->findNamedResource(u"IDR_VEXMAR1", data, size, log));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), zip);

    const auto& oldSections = before->sections();
    const auto& newSections = after->sections();
    ASSERT_EQ(oldSections.size(), newSections.size());
    size_t rsrc = 0;
    while (rsrc < newSections.size() && !newSections[rsrc].hasName(".rsrc"))
        ++rsrc;
    ASSERT_LT(rsrc + 1, newSections.size()) << "the fixture has sections after .rsrc";
    const uint32_t sa = after->ntHeader().sectionAlignment();
    const uint32_t fa = after->ntHeader().fileAlignment();
    const ExeSection& r = newSections[rsrc];
    EXPECT_EQ(r.virtualSize % 8, 0u);
    EXPECT_EQ(r.sizeOfRawData, pe::roundUp(r.virtualSize, sa));
    EXPECT_EQ(out.substr(r.pointerToRawData + r.virtualSize, r.sizeOfRawData - r.virtualSize),
              std::string(r.sizeOfRawData - r.virtualSize, 'X'));
    const ExeDataDirectory resources = after->ntHeader().dataDirectory(pe::kDirResource);
    EXPECT_EQ(resources.rva, r.virtualAddress);
    EXPECT_EQ(pe::roundUp(resources.size, 8), r.virtualSize);

    for (size_t i = 0; i < newSections.size(); ++i) {
        SCOPED_TRACE(newSections[i].displayName());
        const ExeSection& was = oldSections[i];
        const ExeSection& now = newSections[i];
        if (i < rsrc) {
            EXPECT_EQ(now.virtualAddress, was.virtualAddress);
            EXPECT_EQ(now.pointerToRawData, was.pointerToRawData);
        } else if (i > rsrc) {
            const ExeSection& prev = newSections[i - 1];
            EXPECT_EQ(now.virtualAddress,
                      pe::roundUp(prev.virtualAddress + prev.virtualExtent(), sa));
            if (now.hasRawData()) {
                EXPECT_EQ(now.pointerToRawData, pe::roundUp(prev.rawEnd(), fa));
            }
        }
        if (i != rsrc && was.hasRawData()) {
            EXPECT_EQ(out.substr(now.pointerToRawData, now.sizeOfRawData),
                      original_.substr(was.pointerToRawData, was.sizeOfRawData));
        }
    }
    const ExeSection& last = newSections.back();
    EXPECT_EQ(after->ntHeader().sizeOfImage(),
              pe::roundUp(last.virtualAddress + last.virtualExtent(), sa));

    // Data directories pointing into moved sections moved with them (.reloc among them).
    bool sawMoved = false;
    for (uint32_t d = 0; d < before->ntHeader().numDataDirectories(); ++d) {
        const ExeDataDirectory was = before->ntHeader().dataDirectory(d);
        if (d == pe::kDirResource || d == pe::kDirCertificate || was.rva == 0)
            continue;
        for (size_t i = rsrc + 1; i < oldSections.size(); ++i) {
            if (!oldSections[i].containsRva(was.rva))
                continue;
            sawMoved = true;
            EXPECT_EQ(after->ntHeader().dataDirectory(d).rva,
                      was.rva - oldSections[i].virtualAddress + newSections[i].virtualAddress);
        }
    }
    EXPECT_TRUE(sawMoved) << "the base relocations follow .rsrc";
    EXPECT_NE(newSections[rsrc + 1].virtualAddress, oldSections[rsrc + 1].virtualAddress);

    // The overlay, with the symbol table it holds, follows the last section.
    EXPECT_TRUE(out.ends_with("PELLQUIN-OVERLAY-TAIL"));
    EXPECT_EQ(out.substr(out.size() - before->overlayLength()),
              original_.substr(before->overlayOffset()));
    const uint32_t symbols = before->ntHeader().pointerToSymbolTable();
    if (symbols != 0) {
        EXPECT_EQ(after->ntHeader().pointerToSymbolTable(),
                  symbols - before->overlayOffset() + (out.size() - before->overlayLength()));
    }

    // Every resource that was there still is, with the same bytes; types and names
    // stay in the order the platform's lookup needs.
    std::vector<std::pair<std::string, std::string>> oldLeaves, newLeaves;
    exefixture::leaves(*before->resources(), "", oldLeaves);
    exefixture::leaves(*after->resources(), "", newLeaves);
    for (const auto& leaf : oldLeaves)
        EXPECT_NE(std::find(newLeaves.begin(), newLeaves.end(), leaf), newLeaves.end())
            << leaf.first;
    EXPECT_EQ(newLeaves.size(), oldLeaves.size() + 1);
    const auto& types = after->resources()->idChildren;
    EXPECT_TRUE(std::is_sorted(types.begin(), types.end(),
                               [](const auto& a, const auto& b) { return a->id < b->id; }));
    const auto& names = after->resources()->idChild(pe::kRtRcData)->namedChildren;
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(),
                               [](const auto& a, const auto& b) { return a->name < b->name; }));
}

// The rewritten program still starts and finds its payload through the
// platform's own resource functions.
class ProbeRun : public RealExe {};

TEST_P(ProbeRun, TheRewrittenProgramFindsItsPayload) {
    if (!exefixture::canRun(GetParam().arch))
        GTEST_SKIP() << "cannot start " << GetParam().arch << " programs here";
    const std::string zip = zipOf(30000);
    ASSERT_NO_FATAL_FAILURE(embed(zip));
    EXPECT_EQ(exefixture::run({target_, zip_}), 2) << "the fixture carries no payload";
    EXPECT_EQ(exefixture::run({embedded_, zip_}), 0);
}

// A DLL whose .reloc follows .rsrc, loaded twice with the same preferred base:
// the second copy is relocated, which works only when the base-relocation
// directory moved with its section.
class DllRun : public RealExe {};

TEST_P(DllRun, ARelocatedDllStillWorks) {
    if (!exefixture::canRun(GetParam().arch))
        GTEST_SKIP() << "cannot start " << GetParam().arch << " programs here";
    ASSERT_NO_FATAL_FAILURE(embed(zipOf(30000)));
    const std::string host = dir_["dllhost.exe"];
    scratch::writeAll(host, scratch::readAll(exefixture::path("dllhost.exe", GetParam().arch)));
    const std::string copy2 = dir_["copy2.dll"];
    scratch::writeAll(copy2, scratch::readAll(embedded_));
    EXPECT_EQ(exefixture::run({host, embedded_, copy2, zip_}), 0);
}

std::string caseName(const testing::TestParamInfo<Case>& info) {
    std::string name = std::string(info.param.arch) + "_" + info.param.program;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(uint8_t(c)); }, '_');
    return name;
}

const Case kProbes[] = {
    {"pe32", "probe-plain.exe"},
    {"pe32", "probe-rcdata.exe"},
    {"pe32plus", "probe-plain.exe"},
    {"pe32plus", "probe-rcdata.exe"},
};
const Case kDlls[] = {{"pe32", "relocdll.dll"}, {"pe32plus", "relocdll.dll"}};

INSTANTIATE_TEST_SUITE_P(Probes, RealExe, testing::ValuesIn(kProbes), caseName);
INSTANTIATE_TEST_SUITE_P(Dlls, RealExe, testing::ValuesIn(kDlls), caseName);
INSTANTIATE_TEST_SUITE_P(Probes, ProbeRun, testing::ValuesIn(kProbes), caseName);
INSTANTIATE_TEST_SUITE_P(Dlls, DllRun, testing::ValuesIn(kDlls), caseName);

} // namespace
