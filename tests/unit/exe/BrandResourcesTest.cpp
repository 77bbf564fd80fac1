// The resources a launcher is branded with: icon and bitmap files checked as the
// system's loaders need them, and string tables, icon groups and the version
// resource rewritten in a MinGW-built launcher in small.
#include "exe/BitmapFile.h"
#include "exe/IconFile.h"
#include "exe/PeFormat.h"
#include "exe/StringResource.h"
#include "exe/VersionInfo.h"
#include "tests/unit/exe/ExeFixture.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    put16(b, at, v);
    put16(b, at + 2, v >> 16);
}

// A BITMAPINFOHEADER of `width` x `height` pixels.
std::vector<uint8_t> infoHeader(int32_t width, int32_t height, uint16_t bits) {
    std::vector<uint8_t> h(40);
    put32(h, 0, 40);
    put32(h, 4, uint32_t(width));
    put32(h, 8, uint32_t(height));
    put16(h, 12, 1);
    put16(h, 14, bits);
    return h;
}

// A 16 x 16 icon of one 32-bit image, `side` in its directory entry.
std::vector<uint8_t> iconFile(uint8_t side = 16) {
    std::vector<uint8_t> dib = infoHeader(16, 32, 32);
    dib.resize(40 + 16 * 16 * 4 + 16 * 4, 0x7F);
    std::vector<uint8_t> file(22);
    put16(file, 2, 1);
    put16(file, 4, 1);
    file[6] = side;
    file[7] = side;
    put16(file, 10, 1);
    put16(file, 12, 32);
    put32(file, 14, uint32_t(dib.size()));
    put32(file, 18, 22);
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

// A 5 x 3 banner of 24 bits: rows of 16 bytes.
std::vector<uint8_t> bitmapFile(uint16_t bits = 24) {
    std::vector<uint8_t> file(14);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 10, 54);
    const std::vector<uint8_t> header = infoHeader(5, 3, bits);
    file.insert(file.end(), header.begin(), header.end());
    file.resize(54 + 16 * 3, 0x55);
    put32(file, 2, uint32_t(file.size()));
    return file;
}

struct FileCase {
    const char* what;
    void (*spoil)(std::vector<uint8_t>&);
    const char* problem; // empty: accepted
};

const FileCase kIconCases[] = {
    {"a sound icon", [](std::vector<uint8_t>&) {}, ""},
    {"a PNG image", [](std::vector<uint8_t>& f) { std::copy_n("\x89PNG\r\n\x1a\n", 8, &f[22]); }, ""},
    {"a cursor", [](std::vector<uint8_t>& f) { put16(f, 2, 2); }, "not an icon file"},
    {"no images", [](std::vector<uint8_t>& f) { put16(f, 4, 0); }, "holds no images"},
    {"a directory cut short", [](std::vector<uint8_t>& f) { f.resize(20); }, "cut short"},
    {"an image beyond the end", [](std::vector<uint8_t>& f) { f.pop_back(); }, "outside the icon file"},
    {"an image over the directory", [](std::vector<uint8_t>& f) { put32(f, 18, 6); }, "outside"},
    {"an entry of another size", [](std::vector<uint8_t>& f) { f[6] = 32; }, "does not match"},
    {"a depth of 2 bits", [](std::vector<uint8_t>& f) { put16(f, 22 + 14, 2); }, "colour depth"},
    {"a compressed image", [](std::vector<uint8_t>& f) { put32(f, 22 + 16, 3); }, "compressed"},
    {"pixels cut short", [](std::vector<uint8_t>& f) { put32(f, 14, 500); f.resize(22 + 500); },
     "cut short"},
    {"neither PNG nor bitmap", [](std::vector<uint8_t>& f) { put32(f, 22, 12); }, "neither"},
};

TEST(IconFile, TakesWhatTheLoaderCanShowAndRefusesTheRest) {
    for (const FileCase& c : kIconCases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> file = iconFile();
        c.spoil(file);
        std::string problem;
        const std::vector<IconImage> images = readIconFile(file, problem);
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        EXPECT_EQ(images.size(), *c.problem ? 0u : 1u);
    }
}

const FileCase kBitmapCases[] = {
    {"a sound banner", [](std::vector<uint8_t>&) {}, ""},
    {"a top-down banner", [](std::vector<uint8_t>& f) { put32(f, 14 + 8, uint32_t(-3)); }, ""},
    {"not a BMP", [](std::vector<uint8_t>& f) { f[0] = 'P'; }, "not a BMP file"},
    {"an unknown header", [](std::vector<uint8_t>& f) { put32(f, 14, 20); }, "unknown kind"},
    {"a width of 0", [](std::vector<uint8_t>& f) { put32(f, 14 + 4, 0); }, "size"},
    {"a huge height", [](std::vector<uint8_t>& f) { put32(f, 14 + 8, 100000); }, "size"},
    {"a depth of 2 bits", [](std::vector<uint8_t>& f) { put16(f, 14 + 14, 2); }, "colour depth"},
    {"run-length data", [](std::vector<uint8_t>& f) { put32(f, 14 + 16, 1); }, "compressed"},
    {"a JPEG inside", [](std::vector<uint8_t>& f) { put32(f, 14 + 16, 4); }, "compressed"},
    {"pixels cut short", [](std::vector<uint8_t>& f) { f.pop_back(); }, "cut short"},
    {"a header cut short", [](std::vector<uint8_t>& f) { f.resize(30); }, "cut short"},
    {"pixels before the header's end", [](std::vector<uint8_t>& f) { put32(f, 10, 20); }, "cut short"},
};

TEST(BitmapFile, TakesWhatTheLoaderCanShowAndRefusesTheRest) {
    for (const FileCase& c : kBitmapCases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> file = bitmapFile();
        c.spoil(file);
        BitmapFacts facts;
        std::string problem;
        const std::vector<uint8_t> data = readBitmapFile(file, 4096, facts, problem);
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        if (!*c.problem) {
            EXPECT_EQ(data, std::vector<uint8_t>(file.begin() + 14, file.end()));
            EXPECT_EQ(facts.width, 5u);
            EXPECT_EQ(facts.height, 3u);
        }
    }
}

TEST(BitmapFile, LeavesOutAGapBeforeThePixels) {
    std::vector<uint8_t> file = bitmapFile();
    file.insert(file.begin() + 54, {'g', 'a', 'p'});
    put32(file, 10, 57);
    BitmapFacts facts;
    std::string problem;
    const std::vector<uint8_t> data = readBitmapFile(file, 4096, facts, problem);
    ASSERT_EQ(problem, "");
    ASSERT_EQ(data.size(), 40u + 48u);
    EXPECT_EQ(data[40], 0x55);
}

class Branding : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        const std::string fixture = exefixture::path("probe-launcher.exe", GetParam());
        if (!exefixture::exists(fixture))
            GTEST_SKIP() << "needs the MinGW-built " << fixture;
        scratch::writeAll(dir_["in.exe"], scratch::readAll(fixture));
        image_ = ExeImage::loadExe(scratch::X(dir_["in.exe"]), log_);
        ASSERT_TRUE(image_) << scratch::logText(log_);
    }
    // Writes the edited image and loads the result in its place.
    void rewrite() {
        ASSERT_TRUE(image_->writeExe(scratch::X(dir_["out.exe"]), nullptr, log_))
            << scratch::logText(log_);
        image_ = ExeImage::loadExe(scratch::X(dir_["out.exe"]), log_);
        ASSERT_TRUE(image_) << scratch::logText(log_);
    }
    std::u16string string(uint32_t id, uint16_t language) {
        std::u16string text;
        readStringResource(*image_, id, language, text);
        return text;
    }
    std::vector<uint16_t> iconsOf(uint16_t group) {
        const ExeResource* leaf = image_->findResource(ResourceKey::ofId(14),
                                                       ResourceKey::ofId(group), 0);
        std::vector<uint16_t> ids;
        for (uint32_t i = 0; leaf && 6 + 14 * i + 14 <= leaf->dataSize; ++i)
            ids.push_back(uint16_t(leaf->data[6 + 14 * i + 12] | leaf->data[6 + 14 * i + 13] << 8));
        return ids;
    }

    scratch::Dir dir_;
    Logger log_;
    std::unique_ptr<ExeImage> image_;
};

TEST_P(Branding, StringsChangeInEveryLanguageAndTheOthersStay) {
    ASSERT_TRUE(editStringTables(*image_,
                                 [](uint32_t id, uint16_t, std::u16string& text) {
                                     if (id == 133)
                                         text = u"Acme Tools";
                                     if (id == 160) // absent in both tables: may appear
                                         text = u"added";
                                 },
                                 log_));
    rewrite();
    for (uint16_t language : {1033, 1031}) {
        EXPECT_EQ(string(133, language), u"Acme Tools");
        EXPECT_EQ(string(160, language), u"added");
        EXPECT_EQ(string(1, language), u"probe");
        EXPECT_EQ(string(134, language), u"Orvandis Demo Suite");
    }
    EXPECT_EQ(string(132, 1031), u"%1 (webbasiertes Installationsprogramm)");
}

TEST_P(Branding, AnIconGroupIsReplacedAndTheIconsOfOthersStay) {
    const std::vector<uint16_t> before = iconsOf(128);
    const std::vector<uint16_t> other = iconsOf(129);
    ASSERT_EQ(before.size(), 1u);
    ASSERT_EQ(other.size(), 1u);
    const ExeResource* kept = image_->findResource(ResourceKey::ofId(3), ResourceKey::ofId(other[0]), 0);
    ASSERT_TRUE(kept);
    const std::string keptBytes(reinterpret_cast<const char*>(kept->data), kept->dataSize);

    std::string problem;
    std::vector<IconImage> images = readIconFile(iconFile(), problem);
    images.push_back(images.front());
    images.back().data.back() = 0x01;
    ASSERT_TRUE(replaceIconGroup(*image_, 128, images, log_)) << scratch::logText(log_);
    rewrite();

    const std::vector<uint16_t> after = iconsOf(128);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(iconsOf(129), other);
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_NE(after[i], other[0]);
        const ExeResource* icon = image_->findResource(ResourceKey::ofId(3), ResourceKey::ofId(after[i]), 0);
        ASSERT_TRUE(icon);
        EXPECT_EQ(std::vector<uint8_t>(icon->data, icon->data + icon->dataSize), images[i].data);
    }
    kept = image_->findResource(ResourceKey::ofId(3), ResourceKey::ofId(other[0]), 0);
    ASSERT_TRUE(kept);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(kept->data), kept->dataSize), keptBytes);
    // The old group's own icon is gone: three icons are left, not four.
    EXPECT_EQ(image_->resources()->idChild(3)->childCount(), 3u);
}

TEST_P(Branding, TheVersionResourceTakesNewTextsAndNumbers) {
    const std::array<uint16_t, 4> numbers = {2, 5, 0, 17};
    ASSERT_TRUE(editVersionInfo(*image_,
                                {{u"CompanyName", u"Acme Corporation"}, {u"Comments", u"new"}},
                                &numbers, log_))
        << scratch::logText(log_);
    rewrite();
    const VersionStrings strings = readVersionStrings(*image_);
    const VersionStrings expected = {
        {u"CompanyName", u"Acme Corporation"},
        {u"ProductName", u"Orvandis Demo Suite"},
        {u"FileDescription", u"Orvandis Demo Suite web-based installer"},
        {u"FileVersion", u"1.0.0.0"},
        {u"ProductVersion", u"1.0.0.0"},
        {u"LegalCopyright", u"Copyright (C) Orvandis"},
        {u"Comments", u"new"},
    };
    EXPECT_EQ(strings, expected);
    const std::vector<uint16_t> languages =
        image_->languagesOf(ResourceKey::ofId(16), ResourceKey::ofId(1));
    ASSERT_EQ(languages.size(), 1u);
    const ExeResource* leaf =
        image_->findResource(ResourceKey::ofId(16), ResourceKey::ofId(1), languages[0]);
    ASSERT_TRUE(leaf);
    // VS_FIXEDFILEINFO follows the key "VS_VERSION_INFO" at offset 40.
    ASSERT_GE(leaf->dataSize, 40u + 52u);
    const uint8_t* fixed = leaf->data + 40;
    EXPECT_EQ(le32(fixed), 0xFEEF04BDu);
    for (uint32_t at : {8u, 16u}) {
        EXPECT_EQ(le32(fixed + at), 0x00020005u);
        EXPECT_EQ(le32(fixed + at + 4), 0x00000011u);
    }
}

// Read and written again without a change, the resource is what the resource
// compiler made, to the byte: lengths, types and padding as Windows reads them.
TEST_P(Branding, AVersionResourceRewrittenUnchangedKeepsItsBytes) {
    const ResourceKey type = ResourceKey::ofId(16);
    const uint16_t language = image_->languagesOf(type, ResourceKey::ofId(1)).at(0);
    const ExeResource* leaf = image_->findResource(type, ResourceKey::ofId(1), language);
    ASSERT_TRUE(leaf);
    const std::vector<uint8_t> before(leaf->data, leaf->data + leaf->dataSize);
    ASSERT_TRUE(editVersionInfo(*image_, {}, nullptr, log_)) << scratch::logText(log_);
    leaf = image_->findResource(type, ResourceKey::ofId(1), language);
    EXPECT_EQ(std::vector<uint8_t>(leaf->data, leaf->data + leaf->dataSize), before);
}

INSTANTIATE_TEST_SUITE_P(Launchers, Branding, testing::Values("pe32", "pe32plus"));

} // namespace
