// The launcher's check of its own digital signature.
#pragma once

// Whether the running executable's signature verifies.
bool VerifyOwnSignature();
