// A quick look at a ZIP file before it is embedded: its end records and the
// start of its central directory, read through a mapping, without loading the
// whole archive.
#pragma once

class LogBase;
class XString;

// False, with the reason in the log, when the file cannot be opened as a ZIP
// archive or names no entries.
bool zipFileHasEntries(const XString& path, LogBase& log);
