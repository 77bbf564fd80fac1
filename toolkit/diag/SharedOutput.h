// Finding the process's one shared output data. Every module built with the
// toolkit exports ORV_Quillkit_MetaOutput_GetSharedGlobalData; the first time a
// module needs the object it asks the loaded modules through that export, and
// creates (and owns) its own only when none has one.
#pragma once

#include "toolkit/diag/MetaOutputData.h"

#if defined(_WIN32)
#define QUILLKIT_EXPORT __declspec(dllexport)
#else
#define QUILLKIT_EXPORT __attribute__((visibility("default")))
#endif

// Stores this module's pointer to the shared object (null when it has none yet)
// and returns 0.
extern "C" QUILLKIT_EXPORT int
ORV_Quillkit_MetaOutput_GetSharedGlobalData(Quillkit::MetaOutputData** out);

namespace Quillkit {

// This module's shared object: adopted from another module or created here.
// Modules use it only through the MetaOutput operations.
MetaOutputData* GetSharedOutputData();

// The first object another loaded module answers with, or null.
MetaOutputData* FindSharedOutputData();

} // namespace Quillkit
