// Loading images and finding resources, on a synthetic image whose fields can be
// corrupted one at a time.
#include "exe/ExeImage.h"
#include "tests/unit/exe/SyntheticPe.h"
#include "tests/unit/fs/ScratchDir.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vexmar;

namespace {

using synthetic::put16;
using synthetic::put32;

struct Loaded {
    std::unique_ptr<ExeImage> image;
    std::string log;
};

Loaded load(const scratch::Dir& dir, const std::string& bytes) {
    const std::string path = dir["image.exe"];
    scratch::writeAll(path, bytes);
    Logger log;
    Loaded result;
    result.image = ExeImage::loadExe(scratch::X(path), log);
    result.log = scratch::logText(log);
    return result;
}

class ExeLoad : public testing::TestWithParam<bool> {
protected:
    bool plus() const { return GetParam(); }
    scratch::Dir dir_;
};

TEST_P(ExeLoad, FindsTheNamedResourceInPlace) {
    const std::string bytes = synthetic::image(plus());
    Loaded loaded = load(dir_, bytes);
    ASSERT_TRUE(loaded.image) << loaded.log;
    EXPECT_EQ(loaded.image->ntHeader().isPe32Plus(), plus());
    EXPECT_EQ(loaded.image->overlayOffset(), 0x800u);
    EXPECT_EQ(loaded.image->overlayLength(), 4u);

    const uint8_t* data = nullptr;
    uint32_t size = 0;
    Logger log;
    ASSERT_TRUE(loaded.image->findNamedResource(u"NAME", data, size, log));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), synthetic::kPayload);
    EXPECT_EQ(data, loaded.image->view() + synthetic::kRsrcFile + synthetic::kData);
    EXPECT_EQ(loaded.image->rvaToPtr(synthetic::kRsrcVa + synthetic::kData), data);
    EXPECT_EQ(loaded.image->rvaToPtr(0x9000), nullptr);

    // Names are compared exactly.
    EXPECT_FALSE(loaded.image->findNamedResource(u"name", data, size, log));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(size, 0u);
    const std::string text = scratch::logText(log);
    EXPECT_NE(text.find("Failed to find named resource"), std::string::npos);
    EXPECT_NE(text.find("resourceName: name"), std::string::npos) << text;
}

struct BadImage {
    const char* what;
    std::function<void(std::string&, bool plus)> corrupt;
    const char* message;
};

const BadImage kBadImages[] = {
    {"no MZ", [](std::string& b, bool) { b[0] = 'X'; }, "Failed to find DOS signature"},
    {"shorter than a DOS header", [](std::string& b, bool) { b.resize(40); },
     "DOS header is truncated"},
    {"NT headers past the end", [](std::string& b, bool) { put32(b, 60, uint32_t(b.size()) - 2); },
     "Failed to find NT header"},
    {"e_lfanew wraps", [](std::string& b, bool) { put32(b, 60, 0xFFFFFFFE); },
     "Failed to find NT header"},
    {"optional header cut off", [](std::string& b, bool) { b.resize(synthetic::kNtOffset + 40); },
     "NT headers are truncated"},
    {"unknown magic", [](std::string& b, bool) { put16(b, synthetic::optionalHeader(), 0x107); },
     "Unknown optional header magic"},
    {"optional header too small",
     [](std::string& b, bool) { put16(b, synthetic::kNtOffset + 20, 64); },
     "Optional header is too small"},
    {"section table past the end",
     [](std::string& b, bool) { put16(b, synthetic::kNtOffset + 6, 0xFFFF); },
     "Section table extends past the end of the file"},
    {"section data past the end",
     [](std::string& b, bool plus) { put32(b, synthetic::sectionHeader(plus, 2) + 16, 0x10000); },
     "Section data extends past the end of the file"},
    {"no resource directory",
     [](std::string& b, bool plus) { put32(b, synthetic::dataDirectory(plus, 2), 0); },
     "rva is NULL"},
    {"resource directory in no section",
     [](std::string& b, bool plus) { put32(b, synthetic::dataDirectory(plus, 2), 0x9000); },
     "prd is NULL"},
    {"directory entries past the section",
     [](std::string& b, bool) { put16(b, synthetic::kRsrcFile + 14, 0x4000); },
     "Resource directory entries lie outside the resource section"},
    {"subdirectory offset past the section",
     [](std::string& b, bool) { put32(b, synthetic::kRsrcFile + 20, 0x80000000 | 0x1F8); },
     "Resource directory lies outside the resource section"},
    {"name length past the section",
     [](std::string& b, bool) { put16(b, synthetic::kRsrcFile + synthetic::kNameString, 0xFFFF); },
     "Resource name lies outside the resource section"},
    {"name offset past the section",
     [](std::string& b, bool) {
         put32(b, synthetic::kRsrcFile + synthetic::kTypeTable + 16, 0x80000000 | 0x7FFFFFFF);
     },
     "Resource name lies outside the resource section"},
    {"data entry past the section",
     [](std::string& b, bool) {
         put32(b, synthetic::kRsrcFile + synthetic::kNameTable + 20, 0x1FC);
     },
     "Resource data entry lies outside the resource section"},
    {"data past the end of the file",
     [](std::string& b, bool) {
         put32(b, synthetic::kRsrcFile + synthetic::kDataEntry + 4, 0x7FFFFFF0);
     },
     "Resource data lies outside the file"},
    {"a directory that contains itself",
     [](std::string& b, bool) {
         put32(b, synthetic::kRsrcFile + synthetic::kTypeTable + 20,
               0x80000000 | synthetic::kRootTable);
     },
     "Resource tree has a cycle"},
    {"a chain of directories nine deep",
     [](std::string& b, bool) {
         // Tables 24 bytes apart from 0x100 on, each pointing at the next.
         put32(b, synthetic::kRsrcFile + 20, 0x80000000 | 0x100);
         for (uint32_t t = 0x100; t < 0x100 + 9 * 24; t += 24) {
             put16(b, synthetic::kRsrcFile + t + 14, 1);
             put32(b, synthetic::kRsrcFile + t + 16, 1);
             put32(b, synthetic::kRsrcFile + t + 20, 0x80000000 | (t + 24));
         }
     },
     "Resource tree is too deep"},
};

TEST_P(ExeLoad, RefusesBadInputWithAReason) {
    for (const BadImage& bad : kBadImages) {
        SCOPED_TRACE(bad.what);
        std::string bytes = synthetic::image(plus());
        bad.corrupt(bytes, plus());
        Loaded loaded = load(dir_, bytes);
        EXPECT_FALSE(loaded.image);
        EXPECT_NE(loaded.log.find(bad.message), std::string::npos) << loaded.log;
    }
}

TEST_P(ExeLoad, ATreeFailureIsReportedAsSuch) {
    std::string bytes = synthetic::image(plus());
    put32(bytes, synthetic::dataDirectory(plus(), 2), 0);
    Loaded loaded = load(dir_, bytes);
    EXPECT_NE(loaded.log.find("Failed to build resource tree.."), std::string::npos);
}

TEST_P(ExeLoad, FailsOnFilesItCannotMap) {
    Loaded missing = load(dir_, "");
    EXPECT_FALSE(missing.image);
    EXPECT_NE(missing.log.find("Failed to create file mapping"), std::string::npos) << missing.log;
    EXPECT_NE(missing.log.find("filename"), std::string::npos);

    Logger log;
    EXPECT_FALSE(ExeImage::loadExe(scratch::X(dir_["absent.exe"]), log));
}

// Data that no section maps is looked for through the .rsrc section.
TEST_P(ExeLoad, TranslatesUnmappedDataThroughTheResourceSection) {
    std::string bytes = synthetic::image(plus());
    // .rsrc covers only its first 0x40 bytes in memory; the data lies beyond that.
    put32(bytes, synthetic::sectionHeader(plus(), 1) + 8, 0x40);
    Loaded loaded = load(dir_, bytes);
    ASSERT_TRUE(loaded.image) << loaded.log;
    EXPECT_EQ(loaded.image->rvaToPtr(synthetic::kRsrcVa + synthetic::kData), nullptr);
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    Logger log;
    ASSERT_TRUE(loaded.image->findNamedResource(u"NAME", data, size, log));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), synthetic::kPayload);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ExeLoad, testing::Bool(),
                         [](const auto& info) { return info.param ? "Pe32Plus" : "Pe32"; });

} // namespace
