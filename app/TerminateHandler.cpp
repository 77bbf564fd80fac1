// What the C++ runtime calls when an exception escapes or a noexcept function throws.
// The runtime's own handler prints the exception's type, demangled, to standard error,
// which a Windows program like the launcher does not have, and brings a C++ name
// demangler (some 45 KB) into every download for it. The launcher's handler ends the
// process at once, as the runtime's does once it has printed.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
