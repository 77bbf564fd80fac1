#include "zip/base/ClsBase.h"

#include "zip/base/ValidityTag.h"
#include "zip/base/XString.h"

namespace vexmar {

namespace {

constexpr uint32_t kTag = 0x991144AA;
// What every operation records about the build.
constexpr const char* kDllDate = VEXMAR_BUILD_DATE;
constexpr const char* kVexmarVersion = VEXMAR_VERSION;

} // namespace

ClsBase::ClsBase() : tag_(kTag) {}

ClsBase::~ClsBase() {
    checkValidityTag(tag_, kTag);
    clearValidityTag(tag_);
}

bool ClsBase::getVerboseLogging() {
    return m_verboseLogging != 0;
}

void ClsBase::setVerboseLogging(bool on) {
    m_verboseLogging = on ? 1 : 0;
    m_log.setVerbose(on);
}

void ClsBase::getDebugLogFilePath(XString& out) {
    const XString* path = m_log.getDebugLogFilePath();
    if (path)
        out.setFromX(*path);
    else
        out.clear();
}

void ClsBase::setDebugLogFilePath(const XString& path) {
    m_log.setDebugLogFilePath(path.getUtf8());
}

void ClsBase::getLastErrorText(XString& out) {
    StringBuffer text;
    m_log.errorText(text);
    out.setFromSbUtf8(text);
}

void ClsBase::getLastErrorXml(XString& out) {
    StringBuffer text;
    m_log.errorXml(text);
    out.setFromSbUtf8(text);
}

void ClsBase::getLastErrorHtml(XString& out) {
    StringBuffer text;
    m_log.errorHtml(text);
    out.setFromSbUtf8(text);
}

bool ClsBase::saveLastError(const XString& path) {
    StringBuffer trimmed(path.getUtf8());
    trimmed.trim();
    if (trimmed.isEmpty())
        return false;
    return m_log.saveErrorXml(path.getUtf8());
}

void ClsBase::logException(const char* textUtf8) {
    m_log.logData("Exception", textUtf8);
}

void ClsBase::logBracketedError(const char* operationName, const char* messageUtf8) {
    beginOperation(operationName);
    m_log.logError(messageUtf8);
    endOperation(false);
}

void ClsBase::beginOperation(const char* operationName) {
    m_log.clearLog();
    m_log.enterContext(operationName, true);
    m_log.logData("DllDate", kDllDate);
    m_log.logData("VexmarVersion", kVexmarVersion);
    m_log.logDataInt("VerboseLogging", m_verboseLogging);
}

void ClsBase::endOperation(bool success) {
    if (success)
        m_log.logInfo("Success.");
    else
        m_log.logError("Failed.");
    m_log.leaveContext();
}

} // namespace vexmar
