// The archive object's operations on a payload that an executable carries as a
// raw-data resource: opening it as the archive, and embedding a ZIP file.
#pragma once

namespace vexmar {

class ClsZip2;
class XString;

namespace EmbeddedPayload {

// Opens the resource of the executable `exePath` (null: the running executable)
// as the archive, as the public operation `operationName`.
bool open(ClsZip2& zip, const char* operationName, const XString* exePath,
          const XString& resourceName);
// Replaces `exeFilename` by a copy that carries `zipFilename` as the resource.
bool add(ClsZip2& zip, const XString& exeFilename, const XString& resourceName,
         const XString& zipFilename);

} // namespace EmbeddedPayload

} // namespace vexmar
