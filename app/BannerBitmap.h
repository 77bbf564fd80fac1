// Loading a banner bitmap of the module as a DIB section.
#pragma once

#include <windows.h>

namespace Pellquin {

// The bitmap resource `name` (a name or MAKEINTRESOURCE id) as a DIB section,
// or null. Run-length encoded 8-bit bitmaps are expanded here; every other
// bitmap goes through LoadImageW.
HBITMAP LoadBannerBitmap(HMODULE module, const wchar_t* name);

} // namespace Pellquin
