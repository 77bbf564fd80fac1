// Replacing, adding and removing resources: what the rewritten image holds when
// loaded again, the order of its entries, and the sections and headers that
// follow a resource section of another size.
#include "exe/ExeImage.h"
#include "tests/unit/exe/ExeFixture.h"
#include "tests/unit/exe/SyntheticPe.h"
#include "zip/facade/ExeRewrite.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

using synthetic::get32;
using Leaves = std::vector<std::pair<std::string, std::string>>;

std::vector<uint8_t> bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

const ResourceKey kRaw = ResourceKey::ofId(10);
const ResourceKey kName = ResourceKey::ofName(u"NAME");

struct EditCase {
    const char* what;
    bool (*edit)(ExeImage&, LogBase&);
    Leaves expected; // every leaf after the rewrite, in the order of the file
};

const EditCase kEdits[] = {
    {"replacing the data with more than the section holds",
     [](ExeImage& i, LogBase& l) { return i.setResource(kRaw, kName, 1, bytes(std::string(9000, 'r')), l); },
     {{"/#10/NAME/#1", std::string(9000, 'r')}}},
    {"replacing the data with nothing",
     [](ExeImage& i, LogBase& l) { return i.setResource(kRaw, kName, 1, {}, l); },
     {{"/#10/NAME/#1", ""}}},
    {"adding a type before the one there, and a name before NAME",
     [](ExeImage& i, LogBase& l) {
         return i.setResource(ResourceKey::ofId(3), ResourceKey::ofId(7), 0, bytes("icon"), l) &&
                i.setResource(kRaw, ResourceKey::ofName(u"A"), 9, bytes("a"), l) &&
                i.setResource(kRaw, ResourceKey::ofId(2), 9, bytes("two"), l);
     },
     {{"/#3/#7/#0", "icon"},
      {"/#10/A/#9", "a"},
      {"/#10/NAME/#1", synthetic::kPayload},
      {"/#10/#2/#9", "two"}}},
    {"adding a language between two",
     [](ExeImage& i, LogBase& l) {
         return i.setResource(kRaw, kName, 3, bytes("three"), l) &&
                i.setResource(kRaw, kName, 2, bytes("two"), l);
     },
     {{"/#10/NAME/#1", synthetic::kPayload}, {"/#10/NAME/#2", "two"}, {"/#10/NAME/#3", "three"}}},
    {"removing one language of two keeps the name",
     [](ExeImage& i, LogBase& l) {
         return i.setResource(kRaw, kName, 2, bytes("two"), l) && i.removeResource(kRaw, kName, 1, l);
     },
     {{"/#10/NAME/#2", "two"}}},
    {"removing the last resource removes its name and type",
     [](ExeImage& i, LogBase& l) { return i.removeResource(kRaw, kName, 1, l); },
     {}},
    {"removing what was added",
     [](ExeImage& i, LogBase& l) {
         return i.setResource(ResourceKey::ofId(6), ResourceKey::ofId(9), 1033, bytes("s"), l) &&
                i.removeResource(ResourceKey::ofId(6), ResourceKey::ofId(9), 1033, l);
     },
     {{"/#10/NAME/#1", synthetic::kPayload}}},
};

class ResourceEdit : public testing::TestWithParam<bool> {
protected:
    bool plus() const { return GetParam(); }
    scratch::Dir dir_;
};

TEST_P(ResourceEdit, TheRewrittenImageHoldsWhatWasEdited) {
    for (const EditCase& c : kEdits) {
        SCOPED_TRACE(c.what);
        const std::string in = synthetic::image(plus());
        scratch::writeAll(dir_["in.exe"], in);
        Logger log;
        auto image = ExeImage::loadExe(scratch::X(dir_["in.exe"]), log);
        ASSERT_TRUE(image);
        ASSERT_TRUE(c.edit(*image, log)) << scratch::logText(log);
        ASSERT_TRUE(image->writeExe(scratch::X(dir_["out.exe"]), nullptr, log))
            << scratch::logText(log);
        image.reset();
        const std::string out = scratch::readAll(dir_["out.exe"]);
        auto again = ExeImage::loadExe(scratch::X(dir_["out.exe"]), log);
        ASSERT_TRUE(again) << scratch::logText(log);
        Leaves leaves;
        exefixture::leaves(*again->resources(), "", leaves);
        EXPECT_EQ(leaves, c.expected);

        // The directory's size is the section's, and .reloc, the directory that
        // points into it and the overlay follow the section wherever it ends.
        const ExeSection& rsrc = again->sections()[1];
        const ExeSection& reloc = again->sections()[2];
        EXPECT_EQ(get32(out, synthetic::dataDirectory(plus(), 2) + 4), rsrc.virtualSize);
        EXPECT_GE(reloc.virtualAddress, rsrc.virtualAddress + rsrc.virtualSize);
        EXPECT_EQ(get32(out, synthetic::dataDirectory(plus(), 5)), reloc.virtualAddress);
        EXPECT_EQ(out.substr(reloc.pointerToRawData, 8), in.substr(0x600, 8));
        EXPECT_EQ(out.substr(out.size() - 4), "TAIL");
    }
}

TEST_P(ResourceEdit, RemovingWhatIsNotThereChangesNothing) {
    scratch::writeAll(dir_["in.exe"], synthetic::image(plus()));
    Logger log;
    auto image = ExeImage::loadExe(scratch::X(dir_["in.exe"]), log);
    ASSERT_TRUE(image);
    EXPECT_FALSE(image->removeResource(kRaw, kName, 2, log));
    EXPECT_FALSE(image->removeResource(kRaw, ResourceKey::ofName(u"OTHER"), 1, log));
    EXPECT_FALSE(image->removeResource(ResourceKey::ofId(3), kName, 1, log));
    Leaves leaves;
    exefixture::leaves(*image->resources(), "", leaves);
    EXPECT_EQ(leaves, (Leaves{{"/#10/NAME/#1", synthetic::kPayload}}));
}

// The facade's rewrite: a signed image or a failed edit leaves the file as it
// was and nothing beside it.
TEST_P(ResourceEdit, ARefusedRewriteLeavesTheFileAlone) {
    struct Refusal {
        const char* what;
        bool signedImage;
        bool editSucceeds;
        const char* message;
    };
    const Refusal refusals[] = {
        {"a signed image", true, true, "signed; brand it first"},
        {"an edit that fails", false, false, "No such resource to remove"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        std::string in = synthetic::image(plus());
        if (r.signedImage) {
            synthetic::put32(in, synthetic::dataDirectory(plus(), 4), 0x800);
            synthetic::put32(in, synthetic::dataDirectory(plus(), 4) + 4, 4);
        }
        scratch::writeAll(dir_["launcher.exe"], in);
        Logger log;
        const bool ok = rewriteExe(scratch::X(dir_["launcher.exe"]), "signed; brand it first",
                                   [&](ExeImage& image, LogBase& editLog) {
                                       return image.setResource(kRaw, kName, 1, bytes("new"), editLog) &&
                                              (r.editSucceeds ||
                                               image.removeResource(kRaw, kName, 5, editLog));
                                   },
                                   log);
        EXPECT_FALSE(ok);
        EXPECT_NE(scratch::logText(log).find(r.message), std::string::npos) << scratch::logText(log);
        EXPECT_EQ(scratch::readAll(dir_["launcher.exe"]), in);
        size_t files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(scratch::fsPath(dir_.path())))
            files += entry.is_regular_file() ? 1 : 0;
        EXPECT_EQ(files, 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ResourceEdit, testing::Bool(),
                         [](const auto& info) { return info.param ? "Pe32Plus" : "Pe32"; });

} // namespace
