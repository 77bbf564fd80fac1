// The toolkit's run-time bindings of optional platform functions, created at
// start-up; their libraries load on first use.
#pragma once

#include "toolkit/platform/DynamicFunc.h"

namespace Quillkit {

extern DynamicLib kernelLibrary;           // "kernel32.dll"
extern DynamicLib shellLightweightLibrary; // "shlwapi.dll"

extern DynamicSdkFunc<int> CopyFileExFunc;
extern DynamicSdkFunc<int> MoveFileWithProgressFunc;
extern DynamicSdkFunc<WChar*> PathAddBackslashFunc;
extern DynamicSdkFunc<int> GetVolumePathNameFunc;
extern DynamicSdkFunc<int> PathIsRelativeFunc;
extern DynamicSdkFunc<WChar*> PathRemoveBackslashFunc;
extern DynamicSdkFunc<long> UrlEscapeFunc;
extern DynamicSdkFunc<int> PathIsUNCFunc;
extern DynamicSdkFunc<unsigned int> PathGetCharTypeFunc;

} // namespace Quillkit
