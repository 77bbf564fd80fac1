#include "os/ErrorBox.h"

#include <cstdio>

namespace os {

void showErrorBox(void*, const wchar* text, const wchar* caption, bool) {
    std::fprintf(stderr, "%s: %s\n", toUtf8(caption, wideLength(caption)).c_str(),
                 toUtf8(text, wideLength(text)).c_str());
    std::fflush(stderr);
}

} // namespace os
