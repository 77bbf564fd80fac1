// The C++ library's throw helpers, defined by the launcher itself.
//
// The library keeps all of them in one object, which also brings every standard
// exception class and, through their message strings, a second (reference-counted)
// string implementation: about 90 KB of a stub every user downloads. The launcher
// reads no library exception's type or text (its handlers catch everything, or
// its own types), so these throw one small exception instead; running out of
// memory stays std::bad_alloc. Should a library object that uses a helper not
// defined here come in, the link fails on the duplicate definitions: nothing
// falls back silently.
#include <exception>
#include <new>

namespace {

class LibraryFault : public std::exception {
public:
    const char* what() const noexcept override { return "the C++ library refused an operation"; }
};

} // namespace

namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_length_error(const char*) {
    throw LibraryFault();
}
void __throw_logic_error(const char*) {
    throw LibraryFault();
}
void __throw_out_of_range(const char*) {
    throw LibraryFault();
}
void __throw_out_of_range_fmt(const char*, ...) {
    throw LibraryFault();
}
void __throw_invalid_argument(const char*) {
    throw LibraryFault();
}
void __throw_bad_function_call() {
    throw LibraryFault();
}
void __throw_system_error(int) {
    throw LibraryFault();
}

} // namespace std
