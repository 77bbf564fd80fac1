// The launcher's check of its own digital signature.
#pragma once

// Whether the running executable's signature verifies. The file is checked
// through a handle that stays open, shared for reading only (nobody may change,
// rename or delete it), until ReleaseVerifiedImage.
bool VerifyOwnSignature();

// Lets the checked file go, once the payload has been read.
void ReleaseVerifiedImage();
