// A log that keeps what it is told, for tests that check what the engine reported.
#pragma once

#include "zip/base/LogBase.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

// The errors, information and data items a log received. Copyable, so that a run's outcome
// can keep them once its log is gone.
struct LogRecord {
    bool hasError(const std::string& message) const {
        return std::find(errors.begin(), errors.end(), message) != errors.end();
    }
    bool hasInfo(const std::string& message) const {
        return std::find(infos.begin(), infos.end(), message) != infos.end();
    }
    // The decode error number, or 0 when none was logged.
    int decodeError() const {
        const auto it = data.find("decodeErrNum");
        return it == data.end() ? 0 : std::stoi(it->second);
    }

    std::vector<std::string> errors;
    std::vector<std::string> infos;
    std::map<std::string, std::string> data;
    // Errors ("E:message"), data items ("name=value") and contexts ("enter name", "leave"),
    // one a line in the order they came.
    std::string lines;
};

class RecordingLog : public vexmar::LogBase, public LogRecord {
public:
    bool logError(const char* message) override {
        errors.emplace_back(message);
        lines += std::string("E:") + message + "\n";
        return true;
    }
    bool logInfo(const char* message) override {
        infos.emplace_back(message);
        return true;
    }
    bool logData(const char* name, const char* value) override {
        data[name] = value;
        lines += std::string(name) + "=" + value + "\n";
        return true;
    }
    bool enterContext(const char* name, bool) override {
        lines += std::string("enter ") + name + "\n";
        return true;
    }
    bool leaveContext() override {
        lines += "leave\n";
        return true;
    }

    // What was recorded, apart from the log.
    const LogRecord& record() const { return *this; }
};
