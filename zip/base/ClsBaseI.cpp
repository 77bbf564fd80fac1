#include "zip/base/ClsBaseI.h"

#include "zip/base/XString.h"

namespace vexmar {

ClsBaseI::~ClsBaseI() = default;

bool ClsBaseI::getVerboseLogging() {
    return false;
}
void ClsBaseI::setVerboseLogging(bool) {}
void ClsBaseI::getDebugLogFilePath(XString& out) {
    out.clear();
}
void ClsBaseI::setDebugLogFilePath(const XString&) {}
void ClsBaseI::getLastErrorText(XString& out) {
    out.clear();
}
void ClsBaseI::getLastErrorXml(XString& out) {
    out.clear();
}
void ClsBaseI::getLastErrorHtml(XString& out) {
    out.clear();
}
bool ClsBaseI::saveLastError(const XString&) {
    return false;
}
void ClsBaseI::logException(const char*) {}
void ClsBaseI::logBracketedError(const char*, const char*) {}

} // namespace vexmar
