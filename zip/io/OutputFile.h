// An output that writes a file. The file's handle is opened by the caller (or
// by createForPath); the output remembers how far it has written.
#pragma once

#include "zip/base/XString.h"
#include "zip/base/fs/VexmarHandle.h"
#include "zip/base/stream/Output.h"

#include <cstdint>
#include <memory>

namespace vexmar {

class OutputFile : public Output {
public:
    explicit OutputFile(const char* pathUtf8);
    ~OutputFile() override;

    // Deletes any file at the path and opens a new one for reading and writing,
    // shared with nobody. Null when the file cannot be opened.
    static std::unique_ptr<OutputFile> createForPath(const char* pathUtf8, LogBase& log);

    bool writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                  LogBase& log) override;
    bool seekToEnd(LogBase& log) override;
    bool seekAbsolute(uint64_t position, LogBase& log) override;
    uint64_t position() override { return position_; }
    // Starts the file afresh, empty.
    bool reset(LogBase& log) override;

    VexmarHandle& handle() { return file_; }
    bool isOpen() const { return file_.isOpen(); }
    void close() { file_.close(); }
    const XString& path() const { return path_; }
    uint64_t bytesWritten() const { return bytesWritten_; }

    // Sets the file's times from a ZIP timestamp, through the open handle or,
    // when closed, by opening the path for the purpose.
    bool setFileTime(uint16_t dosDate, uint16_t dosTime, LogBase& log);

private:
    bool reopen(LogBase& log);

    uint64_t position_ = 0;
    uint64_t highWater_ = 0;
    VexmarHandle file_;
    XString path_;
    uint64_t bytesWritten_ = 0;
};

} // namespace vexmar
