// Helpers for the conversion tests: bytes in, bytes out.
#pragma once

#include "zip/base/text/EncodingConvert.h"
#include "zip/base/DataBuffer.h"
#include "zip/base/LogNull.h"

#include <gtest/gtest.h>

#include <string>

struct Converted {
    bool ok;
    std::string bytes;
};

inline std::string bytesOf(const vexmar::DataBuffer& b) {
    return std::string(reinterpret_cast<const char*>(b.getData()), b.getSize());
}

// UTF-16LE bytes of a UTF-16 string.
inline std::string le(const std::u16string& units) {
    std::string bytes;
    for (char16_t u : units) {
        bytes += char(u & 0xFF);
        bytes += char(u >> 8);
    }
    return bytes;
}

inline Converted encConvert(int from, int to, const std::string& in, int action = 0) {
    vexmar::EncodingConvert converter;
    converter.setErrorAction(action);
    vexmar::LogNull log;
    vexmar::DataBuffer out;
    bool ok = converter.EncConvert(from, to, in.data(), uint32_t(in.size()), out, log);
    return {ok, bytesOf(out)};
}

inline Converted convertA(int from, int to, const std::string& in) {
    vexmar::EncodingConvert converter;
    vexmar::LogNull log;
    vexmar::DataBuffer out;
    bool ok = converter.convert_a(from, to, in.data(), uint32_t(in.size()), out, log);
    return {ok, bytesOf(out)};
}

// One conversion of a table of cases, named by `what`.
struct ConvertCase {
    const char* what;
    int from;
    int to;
    std::string in;
    bool ok;
    std::string out;
};

inline void expectConverted(const ConvertCase& c, int action = 0) {
    Converted r = encConvert(c.from, c.to, c.in, action);
    EXPECT_EQ(r.ok, c.ok) << c.what;
    EXPECT_EQ(r.bytes, c.out) << c.what;
}
