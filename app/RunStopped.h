// What the launcher throws to leave a step whose error it has already shown or
// logged. Nothing reads more than that it was thrown, so it holds a fixed text,
// and, unlike the library's exceptions with a string, it costs no string code.
#pragma once

#include <exception>

class RunStopped : public std::exception {
public:
    explicit RunStopped(const char* reason) : reason_(reason) {}
    const char* what() const noexcept override { return reason_; }

private:
    const char* reason_;
};
