#include "os/Beneath.h"

#include <utility>

namespace os {

OpenFolder::OpenFolder(OpenFolder&& other) noexcept
    : chain_(std::move(other.chain_)), path_(std::move(other.path_)) {
    other.chain_.clear();
}

OpenFolder& OpenFolder::operator=(OpenFolder&& other) noexcept {
    if (this != &other) {
        close();
        chain_ = std::move(other.chain_);
        path_ = std::move(other.path_);
        other.chain_.clear();
    }
    return *this;
}

OpenFolder::~OpenFolder() {
    close();
}

void OpenFolder::close() {
    for (auto it = chain_.rbegin(); it != chain_.rend(); ++it)
        closeFile(*it);
    chain_.clear();
}

} // namespace os
