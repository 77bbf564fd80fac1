// The toolkit's string blocks the launcher keeps packed: once registered they are
// found as the module's own string tables, every block in every language, and
// damaged data registers nothing.
#include "app/PackedStrings.h"

#include "os/ModuleInfo.h"
#include "os/Resources.h"
#include "os/WideText.h"
#include "toolkit/diag/StringLoad.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Pellquin;

namespace {

// This program carries no string tables of its own: what it finds is what was
// registered.
os::ModuleHandle thisModule() {
    return os::moduleOfAddress(reinterpret_cast<const void*>(&thisModule));
}

const bool registered = RegisterPackedStrings(kPackedStringTables, thisModule());

TEST(PackedStrings, EveryBlockIsFoundInItsLanguage) {
    ASSERT_TRUE(registered);
    const os::ModuleHandle module = thisModule();
    for (uint32_t i = 0; i < kPackedStringTables.count; ++i) {
        const PackedStringBlock& b = kPackedStringTables.blocks[i];
        os::ResourceHandle found =
            os::findResource(module, os::kResourceTypeString, b.number, b.language);
        ASSERT_NE(found, nullptr) << b.number << "/" << b.language;
        uint32_t size = 0;
        const char* failedStep = "";
        EXPECT_NE(os::resourceData(module, found, size, failedStep), nullptr);
        EXPECT_EQ(size, b.size) << b.number << "/" << b.language;
    }
}

TEST(PackedStrings, TextsReadAsFromTheStringTables) {
    ASSERT_TRUE(registered);
    struct Case {
        uint32_t id;
        uint16_t language;
        const char* text;
    } cases[] = {
        {9143, 1033, "Invalid path."},
        {9143, 1031,
         "Ung\xC3\xBC"
         "ltiger Pfad."},
        {9603, 1041, "\xE9\x81\xB8\xE6\x8A\x9E"},
        {9602, 2052, "\xE6\x9F\xA5\xE6\x89\xBE\xE8\x8C\x83\xE5\x9B\xB4:"},
    };
    for (const Case& c : cases) {
        Quillkit::WString text;
        bool found = false;
        ASSERT_TRUE(
            Quillkit::LoadStringFromResource(thisModule(), c.id, text, c.language, true, &found))
            << c.id;
        EXPECT_TRUE(found) << c.id;
        EXPECT_EQ(os::toUtf8(text), c.text) << c.id << "/" << c.language;
    }
}

TEST(PackedStrings, DamagedDataRegistersNothing) {
    PackedStringTables cut = kPackedStringTables;
    cut.packedSize /= 2;
    EXPECT_FALSE(RegisterPackedStrings(cut, nullptr));

    std::vector<PackedStringBlock> blocks(kPackedStringTables.blocks,
                                          kPackedStringTables.blocks + kPackedStringTables.count);
    blocks.back().size = kPackedStringTables.unpackedSize;
    PackedStringTables outside = kPackedStringTables;
    outside.blocks = blocks.data();
    EXPECT_FALSE(RegisterPackedStrings(outside, nullptr));
    EXPECT_EQ(os::findResource(nullptr, os::kResourceTypeString, blocks.front().number,
                               blocks.front().language),
              nullptr);
}

} // namespace
