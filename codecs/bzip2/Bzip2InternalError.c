/* libbz2, built for Windows without its stdio functions, reports here an
   inconsistency it found in its own state. Its decoder can no longer be trusted,
   and its own stdio build ends the process too. */
#include <stdlib.h>

void bz_internal_error(int errcode);

void bz_internal_error(int errcode) {
    (void)errcode;
    abort();
}
