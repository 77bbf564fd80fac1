// The two formatters: printf style (with the Windows meaning of %s in wide text)
// and the message syntax of the string tables.
#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "toolkit/diag/MessageFormat.h"
#include "toolkit/diag/PrintfFormat.h"

namespace qktest {
namespace {

using namespace Quillkit;

std::string Printf(const WChar* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    WString out;
    bool good = FormatPrintfV(out, format, arguments);
    va_end(arguments);
    return good ? U8(out) : "<failed>";
}

TEST(PrintfFormatTest, Conversions) {
    EXPECT_EQ(Printf(QK_TEXT("%s|%ls|%hs|%S"), QK_TEXT("wide"), QK_TEXT("long"), "narrow", "upper"),
              "wide|long|narrow|upper");
    EXPECT_EQ(Printf(QK_TEXT("%d %i %u %x %X %o"), -5, 7, 4000000000u, 255, 255, 8),
              "-5 7 4000000000 ff FF 10");
    EXPECT_EQ(Printf(QK_TEXT("%lld %I64u %zu %ld"), -1234567890123LL, 18446744073709551615ULL,
                     size_t(9), -3L),
              "-1234567890123 18446744073709551615 9 -3");
    EXPECT_EQ(Printf(QK_TEXT("%f|%.2f|%8.3f|%e"), 12.5, 1.005, -3.14159, 1000.0),
              "12.500000|1.00|  -3.142|1.000000e+03");
    EXPECT_EQ(
        Printf(QK_TEXT("[%5s|%-5s|%.2s|%*d]"), QK_TEXT("ab"), QK_TEXT("ab"), QK_TEXT("abc"), 4, 7),
        "[   ab|ab   |ab|   7]");
    EXPECT_EQ(Printf(QK_TEXT("%c%hc%%"), int(0x00e9), 'x'), "\u00e9x%");
    EXPECT_EQ(Printf(QK_TEXT("%s %hs"), static_cast<const WChar*>(nullptr),
                     static_cast<const char*>(nullptr)),
              "(null) (null)");
    EXPECT_EQ(Printf(QK_TEXT("%p"), reinterpret_cast<void*>(0x1f)).size(), 2 * sizeof(void*));
}

TEST(PrintfFormatTest, UnknownConversionsFail) {
    EXPECT_EQ(Printf(QK_TEXT("%y")), "<failed>");
    EXPECT_EQ(Printf(QK_TEXT("%n"), nullptr), "<failed>");
    EXPECT_EQ(Printf(QK_TEXT("trailing %")), "<failed>");
}

TEST(MessageFormatTest, Inserts) {
    const struct {
        const char* templ;
        const char* expected;
    } cases[] = {
        {"%1 (web-based installer)", "Suite (web-based installer)"},
        {"*** Error (%2!d!): %1", "*** Error (-41): Suite"},
        {"[%2!5d!] %3", "[  -41] %3"},
        {"100%% %1%0 not shown", "100% Suite"},
        {"a%nb%rc%td%be%.%!", "a\r\nb\rc\td e.!"},
        {"%1!s! and %1", "Suite and Suite"},
        {"line\nbreak", "line\nbreak"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(U8(FormatMessageText(W(c.templ).c_str(), {QK_TEXT("Suite"), -41})), c.expected)
            << c.templ;
}

TEST(MessageFormatTest, TwoDigitInsertNumbers) {
    std::vector<MessageInsert> inserts;
    for (int i = 1; i <= 12; ++i)
        inserts.emplace_back(i * 10);
    EXPECT_EQ(U8(FormatMessageText(QK_TEXT("%12!d!/%1!d!"), inserts.data(), inserts.size())),
              "120/10");
}

} // namespace
} // namespace qktest
