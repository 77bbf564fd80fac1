#include "app/SignatureCheck.h"

bool VerifyOwnSignature() {
    // Trust verification of the running image arrives with the signing work; until
    // then every copy passes.
    return true;
}
