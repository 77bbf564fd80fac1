#include "zip/base/Logger.h"

#include "os/Stdio.h"
#include "zip/base/CritSecExitor.h"
#include "zip/base/XString.h"

#include <new>

namespace vexmar {

Logger::Logger() = default;

Logger::~Logger() {
    delete debugLogPath_;
}

bool Logger::errorXml(StringBuffer& out) {
    CritSecExitor lock(this);
    out.clear();
    return log_.renderXml(out);
}

bool Logger::errorHtml(StringBuffer& out) {
    CritSecExitor lock(this);
    out.clear();
    return log_.renderHtml(out);
}

bool Logger::errorText(StringBuffer& out) {
    CritSecExitor lock(this);
    out.clear();
    return log_.renderText(out);
}

bool Logger::saveErrorXml(const char* pathUtf8) {
    if (!pathUtf8)
        return false;
    StringBuffer xml;
    if (!errorXml(xml))
        return false;
    std::FILE* file = os::fopenUtf8(pathUtf8, "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(xml.getString(), 1, xml.getSize(), file) == xml.getSize();
    return std::fclose(file) == 0 && ok;
}

// One line in the debug log file, indented by the nesting depth. A file that
// cannot be opened costs nothing but the line.
void Logger::writeDebugLine(const StringBuffer& line) {
    if (!debugLogPath_)
        return;
    StringBuffer text;
    if (!text.appendCharN(' ', uint32_t(depth_) * 4) || !text.append(line) ||
        !text.appendChar('\n'))
        return;
    std::FILE* file = os::fopenUtf8(debugLogPath_->getUtf8(), "ab");
    if (!file)
        return;
    std::fwrite(text.getString(), 1, text.getSize(), file);
    std::fclose(file);
}

bool Logger::addMessage(LogEntry2::Kind kind, const char* message) {
    if (!message)
        return true;
    CritSecExitor lock(this);
    bool ok = log_.addEntry(kind, nullptr, message);
    if (kind != LogEntry2::kRaw)
        writeDebugLine(StringBuffer(message));
    return ok;
}

bool Logger::logError(const char* message) {
    return addMessage(LogEntry2::kError, message);
}

bool Logger::logInfo(const char* message) {
    return addMessage(LogEntry2::kInfo, message);
}

bool Logger::logRaw(const char* line) {
    return addMessage(LogEntry2::kRaw, line);
}

bool Logger::clearLog() {
    CritSecExitor lock(this);
    log_.reset();
    depth_ = 0;
    return true;
}

bool Logger::enterContext(const char* name, bool) {
    if (!name)
        return true;
    CritSecExitor lock(this);
    bool ok = log_.enterContext(name);
    StringBuffer line(name);
    if (line.appendChar(':'))
        writeDebugLine(line);
    ++depth_;
    return ok;
}

bool Logger::leaveContext() {
    CritSecExitor lock(this);
    log_.leaveContext();
    writeDebugLine(StringBuffer("(leaveContext)"));
    if (depth_ > 0)
        --depth_;
    return true;
}

bool Logger::logData(const char* name, const char* value) {
    if (!name)
        return true;
    StringBuffer tag(name);
    tag.trim();
    tag.replaceAllChars(' ', '_');
    if (tag.isEmpty())
        return false;
    if (!value)
        value = "(NULL)";
    CritSecExitor lock(this);
    bool ok = log_.addEntry(LogEntry2::kData, tag.getString(), value);
    StringBuffer line(tag.getString());
    if (line.append(": ") && line.append(value))
        writeDebugLine(line);
    return ok;
}

bool Logger::setDebugLogFilePath(const char* pathUtf8) {
    CritSecExitor lock(this);
    if (!pathUtf8 || !*pathUtf8) {
        delete debugLogPath_;
        debugLogPath_ = nullptr;
        return true;
    }
    if (!debugLogPath_)
        debugLogPath_ = new (std::nothrow) XString;
    return debugLogPath_ && debugLogPath_->setFromUtf8(pathUtf8);
}

} // namespace vexmar
