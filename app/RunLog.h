// The run's log (/log FILE): the toolkit's debug log, opened at FILE as UTF-8 text
// with a time stamp on every line. The launcher writes its steps into it with
// Quillkit::LogDebugMessage; toolkit error reports land there too.
#pragma once

#include "app/PellquinCmdLineInfo.h"

#include <cstdint>

// Opens the log when the command line asks for one and records how the run starts
// (mode, quiet, the folder and setup's arguments given). False when FILE cannot be
// created: the run must end with status 1 before anything else happens.
bool OpenRunLog(const CPellquinCmdLineInfo& info);

// Records the final status and closes the log.
void CloseRunLog(int32_t status);
