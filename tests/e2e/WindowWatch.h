// What both end-to-end drivers need to watch another process's windows and report
// what they see: one JSON object a line on standard output.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

constexpr int kBoxText = 0xFFFF; // the static text of a message box
constexpr int kBoxIcon = 0x440;  // the icon of a message box

std::string utf8(const std::wstring& text);
// TEXT as a JSON string literal.
std::string quoted(const std::wstring& text);

// One JSON line: {"event": NAME, FIELDS...}; FIELDS are already-formatted "key": value pairs.
void report(const char* name, const std::vector<std::string>& fields = {});
std::string field(const char* key, const std::wstring& value);
std::string field(const char* key, long long value);
std::string flag(const char* key, bool value);

// The text of another process's window, asked for with WM_GETTEXT (which Windows
// carries across processes) rather than the cached caption.
std::wstring windowText(HWND window);
std::wstring className(HWND window);

bool fileExists(const std::wstring& path);
std::wstring baseName(const std::wstring& path);

// The id of a running process whose program file is named IMAGE, or 0.
DWORD findProcess(const std::wstring& image);
std::vector<HWND> topLevelWindows(DWORD processId, bool visibleOnly = false);
// Presses a dialog's button as a click would.
void press(HWND dialog, int id);

} // namespace e2e
