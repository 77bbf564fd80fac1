// What the end-to-end programs report, one JSON object a line on standard output:
// {"event": NAME, "key": value, ...}.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

inline std::string utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// A JSON string of the text.
inline std::string quoted(const std::wstring& text) {
    std::string out = "\"";
    for (unsigned char c : utf8(text)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

// One line: FIELDS are already-formatted "key": value pairs.
inline void report(const char* name, const std::vector<std::string>& fields = {}) {
    std::string line = std::string("{\"event\": \"") + name + "\"";
    for (const std::string& field : fields)
        line += ", " + field;
    line += "}\n";
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

inline std::string field(const char* key, const std::wstring& value) {
    return std::string("\"") + key + "\": " + quoted(value);
}
inline std::string field(const char* key, long long value) {
    return std::string("\"") + key + "\": " + std::to_string(value);
}
inline std::string flag(const char* key, bool value) {
    return std::string("\"") + key + "\": " + (value ? "true" : "false");
}
