// How a suite description (orvsuite.xml) names its suite: the value of the
// packageguid="{...}" attribute that follows "<suiteid" on the same line.
#pragma once

#include "os/WideText.h"

namespace Pellquin {

// The GUID one line of a suite description names, braces included and in lower
// case; false when the line names none. Letters A to Z compare in any case.
bool SuiteGuidInLine(os::wstring line, os::wstring& guid);

// Whether two GUIDs are the same, ignoring the case of A to Z.
bool SameSuiteGuid(const os::wstring& a, const os::wstring& b);

} // namespace Pellquin
