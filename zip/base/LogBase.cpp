#include "zip/base/LogBase.h"

#include "os/SystemError.h"
#include "zip/base/XString.h"

namespace vexmar {

LogBase::~LogBase() = default;

bool LogBase::errorXml(StringBuffer&) {
    return true;
}
bool LogBase::errorHtml(StringBuffer&) {
    return true;
}
bool LogBase::errorText(StringBuffer&) {
    return true;
}
bool LogBase::saveErrorXml(const char*) {
    return true;
}
bool LogBase::logError(const char*) {
    return true;
}
bool LogBase::logInfo(const char*) {
    return true;
}
bool LogBase::logRaw(const char*) {
    return true;
}
bool LogBase::clearLog() {
    return true;
}
bool LogBase::enterContext(const char*, bool) {
    return true;
}
bool LogBase::leaveContext() {
    return true;
}
bool LogBase::logData(const char*, const char*) {
    return true;
}

bool LogBase::logDataInt(const char* name, int value) {
    return logDataInt64(name, value);
}

bool LogBase::logDataInt64(const char* name, int64_t value) {
    StringBuffer text;
    if (!text.appendInt64(value))
        return false;
    return logData(name, text.getString());
}

bool LogBase::logDataHex(const char* name, uint32_t value) {
    // "0x" and the hex digits without leading zeros, lower case.
    char text[2 + 2 * sizeof value + 1];
    char* p = text + sizeof text;
    *--p = 0;
    do {
        *--p = "0123456789abcdef"[value & 15];
        value >>= 4;
    } while (value);
    *--p = 'x';
    *--p = '0';
    return logData(name, p);
}

bool LogBase::logDataStr(const char* name, const XString& value) {
    return logData(name, value.getUtf8());
}

bool LogBase::logDataSb(const char* name, const StringBuffer& value) {
    return logData(name, value.getString());
}

bool LogBase::logDataQP(const char* name, const void* data, uint32_t n) {
    // Quoted-printable: printable ASCII as itself, everything else (and '=') as
    // "=XX"; a blank at the end is encoded too, so that it stays visible.
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const uint8_t*>(data);
    StringBuffer text;
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t b = bytes[i];
        bool blank = b == ' ' || b == '\t';
        bool plain = (b > 32 && b < 127 && b != '=') || (blank && i + 1 < n);
        const char escape[3] = {'=', kHex[b >> 4], kHex[b & 15]};
        if (!(plain ? text.appendChar(char(b)) : text.append(escape, 3)))
            return false;
    }
    return logData(name, text.getString());
}

bool LogBase::logDataBytes(const char* name, const void* data, uint32_t n) {
    StringBuffer text;
    if (!text.append(static_cast<const char*>(data), n))
        return false;
    text.trim();
    return logData(name, text.isEmpty() ? "(empty)" : text.getString());
}

void LogBase::logOutOfMemory(const char* point, uint32_t numBytes) {
    logError("Memory allocation failed.");
    logData("failurePoint", point);
    logDataInt64("numBytes", numBytes);
}

void LogBase::logLastWindowsError() {
    uint32_t code = os::lastErrorCode();
    char text[512];
    os::errorText(code, text, sizeof text);
    logData("WindowsError", text);
    logDataHex("WindowsErrorCode", code);
}

void LogBase::logWindowsError(uint32_t code) {
    if (code == 0)
        return;
    char text[512];
    os::errorText(code, text, sizeof text);
    logData("WindowsError", text);
}

} // namespace vexmar
