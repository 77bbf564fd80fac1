// Rewriting an executable file in place, safely: a signed image is refused (any
// change would break its signature), the edits are made to the loaded image, and
// the new file is written beside the old one and takes its place only when it is
// complete. The old file stays exactly as it was whenever anything fails.
#pragma once

#include <functional>

namespace vexmar {

class ExeImage;
class LogBase;
class XString;

// `edit` changes the image (the log says why when it returns false);
// `signedRefusal` is the log's error for a signed image.
bool rewriteExe(const XString& exeFilename, const char* signedRefusal,
                const std::function<bool(ExeImage&, LogBase&)>& edit, LogBase& log);

} // namespace vexmar
