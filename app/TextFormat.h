// The launcher's two ways of filling a text template.
#pragma once

#include "os/WideText.h"

#include <windows.h>

#include <initializer_list>

// One insert of a message-style template: a number for "%1!d!", a text for "%1"
// (the text must outlive the call).
inline DWORD_PTR MessageArg(int number) {
    return DWORD_PTR(INT_PTR(number));
}
inline DWORD_PTR MessageArg(const os::wstring& text) {
    return reinterpret_cast<DWORD_PTR>(text.c_str());
}
inline DWORD_PTR MessageArg(const wchar_t* text) {
    return reinterpret_cast<DWORD_PTR>(text);
}

// `templ` in the Windows message syntax (%1, %2, %1!d!) through the system's
// message formatter; an empty text when formatting fails.
os::wstring FormatMessageString(const os::wstring& templ, std::initializer_list<DWORD_PTR> inserts);

// A C-style wide template (%s takes wide text, as everywhere in the launcher).
os::wstring FormatPrintfString(const wchar_t* format, ...);

// The launcher's title, string 132 with string 133: the suite's display name
// followed by " (web-based installer)" in English.
os::wstring GetInstallerTitle();
