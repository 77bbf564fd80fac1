// The Windows programs built for the exe tests (see fixtures/ExeFixtures.cmake),
// and running them where the tests run under Windows.
#pragma once

#include "exe/ExeImage.h"
#include "tests/unit/fs/ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace exefixture {

// "pe32" or "pe32plus".
inline std::string path(const std::string& name, const std::string& arch) {
    const std::string dot = name.substr(name.rfind('.'));
    return std::string(PELLQUIN_EXE_FIXTURE_DIR) + "/" + name.substr(0, name.rfind('.')) + "-" +
           arch + dot;
}

inline bool exists(const std::string& file) {
    return std::filesystem::exists(scratch::fsPath(file));
}

inline bool canRun(const std::string& arch) {
    return arch == "pe32" ? PELLQUIN_RUN_PE32 != 0 : PELLQUIN_RUN_PE32PLUS != 0;
}

// Runs the program with the arguments and returns its exit status, or -1 when
// it could not be started.
inline int run(const std::vector<std::string>& command) {
#ifdef _WIN32
    std::wstring line;
    for (const std::string& part : command)
        line += L"\"" + scratch::fsPath(part).wstring() + L"\" ";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return int(status);
#else
    (void)command;
    return -1;
#endif
}

// The bytes of every leaf by its path of names and ids.
inline void leaves(const vexmar::ExeResource& node, const std::string& at,
                   std::vector<std::pair<std::string, std::string>>& out) {
    if (!node.isDirectory) {
        out.emplace_back(at, std::string(reinterpret_cast<const char*>(node.data), node.dataSize));
        return;
    }
    node.forEachChild([&](const vexmar::ExeResource& child) {
        std::string step = child.isNamed ? std::string(child.name.begin(), child.name.end())
                                         : "#" + std::to_string(child.id);
        leaves(child, at + "/" + step, out);
    });
}

} // namespace exefixture
