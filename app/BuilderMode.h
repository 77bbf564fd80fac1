// Builder mode: writing a ZIP file into a launcher copy as its payload.
#pragma once

class CPellquinCmdLineInfo;

// Embeds m_strLoadZip into m_strTargetExe as the payload resource. Raises a
// toolkit error (code -20) when that fails.
void RunBuilderMode(const CPellquinCmdLineInfo& info);
