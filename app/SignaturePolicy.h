// Whether the launcher may run, given what it found about its own signature. Kept
// apart from the system's trust check so that the rules can be tested anywhere.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Pellquin {

// Whether the image whose first `size` bytes are `head` has a certificate table
// (an Authenticode signature) in its data directories. False for anything that is
// not a PE image or whose headers do not fit in `head`.
bool CarriesSignature(const uint8_t* head, size_t size);

// A signed image runs only when its signature verified; an unsigned one runs
// unless the build requires a signature.
bool SignatureAccepted(bool carriesSignature, bool verified, bool requireSignature);

} // namespace Pellquin
