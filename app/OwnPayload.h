// The payload as the running launcher carries it.
#pragma once

namespace vexmar {
class VxZipW;
} // namespace vexmar

// Opens the payload resource of the running module itself, as the loader mapped
// it: what is extracted is what runs, whatever became of the file on disk since
// it was started. False when there is no such resource or it is no archive.
bool OpenOwnPayload(vexmar::VxZipW& zip);
