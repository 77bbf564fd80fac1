// Rewriting a synthetic image: the four-pass layout of the resource section, the
// sections that move after it, and the headers that follow what moved.
#include "exe/ExeImage.h"
#include "exe/PeFormat.h"
#include "tests/unit/exe/SyntheticPe.h"
#include "tests/unit/fs/ScratchDir.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

using synthetic::get32;
using synthetic::put32;

std::string pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char('a' + i * 7 % 26);
    return s;
}

class ExeWrite : public testing::TestWithParam<bool> {
protected:
    bool plus() const { return GetParam(); }

    // Loads `bytes`, adds the payload file as "IDR_VEXMAR1" and writes the result.
    // Returns the log; `written` holds the new file's bytes on success.
    std::string embed(const std::string& bytes, const std::string& payload, std::string& written) {
        scratch::writeAll(dir_["in.exe"], bytes);
        scratch::writeAll(dir_["payload.zip"], payload);
        Logger log;
        auto image = ExeImage::loadExe(scratch::X(dir_["in.exe"]), log);
        if (!image ||
            !image->addResourceFromFile(u"IDR_VEXMAR1", scratch::X(dir_["payload.zip"]), log) ||
            !image->writeExe(scratch::X(dir_["out.exe"]), nullptr, log))
            return "failed: " + scratch::logText(log);
        written = scratch::readAll(dir_["out.exe"]);
        return scratch::logText(log);
    }
    uint32_t section(uint32_t index, uint32_t field) const {
        return synthetic::sectionHeader(plus(), index) + field;
    }

    scratch::Dir dir_;
};

TEST_P(ExeWrite, LaysOutTheResourceSectionAndMovesWhatFollows) {
    std::string in = synthetic::image(plus());
    // A certificate table and a symbol table in the overlay, and a debug entry in
    // .text whose data lies in .reloc.
    put32(in, synthetic::dataDirectory(plus(), 4), 0x800);
    put32(in, synthetic::dataDirectory(plus(), 4) + 4, 4);
    put32(in, synthetic::kNtOffset + 12, 0x800);
    put32(in, synthetic::dataDirectory(plus(), 6), 0x1080);
    put32(in, synthetic::dataDirectory(plus(), 6) + 4, 28);
    put32(in, 0x280 + 20, 0x3010);
    put32(in, 0x280 + 24, 0x610);

    const std::string payload = pattern(5000);
    std::string out;
    const std::string log = embed(in, payload, out);
    ASSERT_EQ(log.find("failed"), std::string::npos) << log;

    // Tables 104 bytes, data entries 32, names 24 + 10: the payload's data starts at
    // 170, the next block at the multiple of 8 after it, then "X" to 0x2000.
    const uint32_t rsrc = 0x400;
    EXPECT_EQ(get32(out, section(1, 8)), 5184u);    // VirtualSize
    EXPECT_EQ(get32(out, section(1, 12)), 0x2000u); // VirtualAddress
    EXPECT_EQ(get32(out, section(1, 16)), 0x2000u); // SizeOfRawData
    EXPECT_EQ(get32(out, section(1, 20)), rsrc);
    EXPECT_EQ(out.substr(rsrc + 170, 5000), payload);
    EXPECT_EQ(out.substr(rsrc + 5170, 6), std::string(6, '\0'));
    EXPECT_EQ(out.substr(rsrc + 5176, 8), synthetic::kPayload);
    EXPECT_EQ(out.substr(rsrc + 5184, 0x2000 - 5184), std::string(0x2000 - 5184, 'X'));
    // The new names come first among the named entries, as the platform's lookup expects.
    EXPECT_EQ(get32(out, rsrc + 24 + 16), 0x80000000u | 136);

    // .reloc follows at the next aligned address and file offset, and so do the
    // directory that points into it and the debug entry's data.
    EXPECT_EQ(get32(out, section(2, 12)), 0x4000u);
    EXPECT_EQ(get32(out, section(2, 20)), 0x2400u);
    EXPECT_EQ(out.substr(0x2400, 0x200), in.substr(0x600, 0x200));
    EXPECT_EQ(get32(out, synthetic::dataDirectory(plus(), 5)), 0x4000u);
    EXPECT_EQ(get32(out, synthetic::dataDirectory(plus(), 5) + 4), 8u);
    EXPECT_EQ(get32(out, 0x280 + 20), 0x4010u);
    EXPECT_EQ(get32(out, 0x280 + 24), 0x2410u);

    // The resource directory's size, the image size, and the overlay at its new place.
    EXPECT_EQ(get32(out, synthetic::dataDirectory(plus(), 2)), 0x2000u);
    EXPECT_EQ(get32(out, synthetic::dataDirectory(plus(), 2) + 4), 5184u);
    EXPECT_EQ(get32(out, synthetic::optionalHeader() + 56), 0x5000u);
    ASSERT_EQ(out.size(), 0x2604u);
    EXPECT_EQ(out.substr(0x2600), "TAIL");
    EXPECT_EQ(get32(out, synthetic::dataDirectory(plus(), 4)), 0x2600u);
    EXPECT_EQ(get32(out, synthetic::kNtOffset + 12), 0x2600u);

    // .text is carried over unchanged apart from the debug entry's two fields.
    std::string text = in.substr(0x200, 0x200);
    put32(text, 0x80 + 20, 0x4010);
    put32(text, 0x80 + 24, 0x2410);
    EXPECT_EQ(out.substr(0x200, 0x200), text);

    // The result loads again, and both resources are found with their bytes.
    scratch::writeAll(dir_["again.exe"], out);
    Logger log2;
    auto again = ExeImage::loadExe(scratch::X(dir_["again.exe"]), log2);
    ASSERT_TRUE(again) << scratch::logText(log2);
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(again->findNamedResource(u"IDR_VEXMAR1", data, size, log2));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), payload);
    ASSERT_TRUE(again->findNamedResource(u"NAME", data, size, log2));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), synthetic::kPayload);
}

TEST_P(ExeWrite, ARoomySectionKeepsEveryAddress) {
    std::string out;
    const std::string log = embed(synthetic::image(plus()), pattern(1000), out);
    ASSERT_EQ(log.find("failed"), std::string::npos) << log;
    EXPECT_EQ(get32(out, section(1, 8)), 1184u);
    EXPECT_EQ(get32(out, section(1, 16)), 0x1000u);
    EXPECT_EQ(get32(out, section(2, 12)), 0x3000u);
    EXPECT_EQ(get32(out, section(2, 20)), 0x1400u);
    EXPECT_EQ(get32(out, synthetic::optionalHeader() + 56), 0x4000u);
}

TEST_P(ExeWrite, LayoutIsTheSameEachTime) {
    scratch::writeAll(dir_["in.exe"], synthetic::image(plus()));
    scratch::writeAll(dir_["payload.zip"], pattern(5000));
    Logger log;
    auto image = ExeImage::loadExe(scratch::X(dir_["in.exe"]), log);
    ASSERT_TRUE(image);
    ASSERT_TRUE(image->addResourceFromFile(u"IDR_VEXMAR1", scratch::X(dir_["payload.zip"]), log));
    ASSERT_TRUE(image->calcLoadAddrs(log));
    const uint32_t first = image->sections()[2].virtualAddress;
    ASSERT_TRUE(image->calcLoadAddrs(log));
    EXPECT_EQ(image->sections()[2].virtualAddress, first);
    EXPECT_EQ(image->newFileSize(), 0x2604u);
}

TEST_P(ExeWrite, AddsTheRawDataTypeInIdOrder) {
    std::string in = synthetic::image(plus());
    // The one type becomes 16; type 10 must go before it.
    put32(in, synthetic::kRsrcFile + 16, 16);
    std::string out;
    const std::string log = embed(in, "zip", out);
    ASSERT_EQ(log.find("failed"), std::string::npos) << log;
    EXPECT_EQ(get32(out, 0x400 + 16), 10u);
    EXPECT_EQ(get32(out, 0x400 + 24), 16u);
}

TEST_P(ExeWrite, ASecondResourceOfTheSameNameIsNotTheOneFound) {
    scratch::writeAll(dir_["in.exe"], synthetic::image(plus()));
    scratch::writeAll(dir_["one"], "first");
    scratch::writeAll(dir_["two"], "second");
    Logger log;
    auto image = ExeImage::loadExe(scratch::X(dir_["in.exe"]), log);
    ASSERT_TRUE(image);
    ASSERT_TRUE(image->addResourceFromFile(u"P", scratch::X(dir_["one"]), log));
    ASSERT_TRUE(image->addResourceFromFile(u"P", scratch::X(dir_["two"]), log));
    ASSERT_TRUE(image->writeExe(scratch::X(dir_["out.exe"]), nullptr, log));
    image.reset();
    auto out = ExeImage::loadExe(scratch::X(dir_["out.exe"]), log);
    ASSERT_TRUE(out);
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(out->findNamedResource(u"P", data, size, log));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), "first");
}

struct WriteFailure {
    const char* what;
    void (*corrupt)(std::string&, bool plus);
    const char* message;
};

const WriteFailure kWriteFailures[] = {
    {"resources outside a .rsrc section",
     [](std::string& b, bool plus) { b[synthetic::sectionHeader(plus, 1) + 1] = 'x'; },
     "The resource directory is not in a .rsrc section with data"},
    {"a zero file alignment",
     [](std::string& b, bool) { put32(b, synthetic::optionalHeader() + 36, 0); },
     "Invalid file or section alignment"},
    {"sections out of address order",
     [](std::string& b, bool plus) { put32(b, synthetic::sectionHeader(plus, 2) + 12, 0x2080); },
     "Sections overlap or are out of address order"},
    {"NT headers inside the DOS header",
     [](std::string& b, bool) {
         b.insert(0x20, b.substr(synthetic::kNtOffset, 0x1C0 - 0x20));
         b.erase(0x200, 0x1C0 - 0x20);
         put32(b, 60, 0x20);
     },
     "NT headers overlap the DOS header"},
};

TEST_P(ExeWrite, RefusesImagesItWouldDamage) {
    for (const WriteFailure& failure : kWriteFailures) {
        SCOPED_TRACE(failure.what);
        std::string in = synthetic::image(plus());
        failure.corrupt(in, plus());
        std::string out;
        const std::string log = embed(in, "zip", out);
        EXPECT_NE(log.find(failure.message), std::string::npos) << log;
        EXPECT_NE(log.find("failed"), std::string::npos);
    }
}

TEST_P(ExeWrite, FailsWhenThePayloadFileIsMissing) {
    scratch::writeAll(dir_["in.exe"], synthetic::image(plus()));
    Logger log;
    auto image = ExeImage::loadExe(scratch::X(dir_["in.exe"]), log);
    ASSERT_TRUE(image);
    ASSERT_TRUE(image->addResourceFromFile(u"IDR_VEXMAR1", scratch::X(dir_["absent.zip"]), log));
    EXPECT_FALSE(image->writeExe(scratch::X(dir_["out.exe"]), nullptr, log));
    const std::string text = scratch::logText(log);
    EXPECT_NE(text.find("Failed to get the size of the resource data file"), std::string::npos);
    EXPECT_NE(text.find("Failed to calculate load addrs"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ExeWrite, testing::Bool(),
                         [](const auto& info) { return info.param ? "Pe32Plus" : "Pe32"; });

} // namespace
