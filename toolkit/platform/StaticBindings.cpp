#include "toolkit/platform/StaticBindings.h"

namespace Quillkit {

DynamicLib kernelLibrary(QK_TEXT("kernel32.dll"));
DynamicLib shellLightweightLibrary(QK_TEXT("shlwapi.dll"));

DynamicSdkFunc<int> CopyFileExFunc(&kernelLibrary, "CopyFileEx");
DynamicSdkFunc<int> MoveFileWithProgressFunc(&kernelLibrary, "MoveFileWithProgress");
DynamicSdkFunc<WChar*> PathAddBackslashFunc(&shellLightweightLibrary, "PathAddBackslash");
DynamicSdkFunc<int> GetVolumePathNameFunc(&kernelLibrary, "GetVolumePathName");
DynamicSdkFunc<int> PathIsRelativeFunc(&shellLightweightLibrary, "PathIsRelative");
DynamicSdkFunc<WChar*> PathRemoveBackslashFunc(&shellLightweightLibrary, "PathRemoveBackslash");
DynamicSdkFunc<long> UrlEscapeFunc(&shellLightweightLibrary, "UrlEscape");
DynamicSdkFunc<int> PathIsUNCFunc(&shellLightweightLibrary, "PathIsUNC");
DynamicSdkFunc<unsigned int> PathGetCharTypeFunc(&shellLightweightLibrary, "PathGetCharType");

} // namespace Quillkit
