// What every public engine object answers, whatever it is. The defaults answer
// false or do nothing.
#pragma once

namespace vexmar {

class XString;

class ClsBaseI {
public:
    virtual ~ClsBaseI();

    virtual bool getVerboseLogging();
    virtual void setVerboseLogging(bool on);
    // Empty when off.
    virtual void getDebugLogFilePath(XString& out);
    // An empty path turns it off.
    virtual void setDebugLogFilePath(const XString& path);
    // The last-error log rendered as plain text, XML-like text and HTML.
    virtual void getLastErrorText(XString& out);
    virtual void getLastErrorXml(XString& out);
    virtual void getLastErrorHtml(XString& out);
    // False for an empty or blank path.
    virtual bool saveLastError(const XString& path);
    // Records the text as data "Exception".
    virtual void logException(const char* textUtf8);
    // An operation bracket around one error message.
    virtual void logBracketedError(const char* operationName, const char* messageUtf8);
};

} // namespace vexmar
