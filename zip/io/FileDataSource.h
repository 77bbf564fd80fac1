// A source that reads a file.
#pragma once

#include "zip/base/fs/VexmarHandle.h"
#include "zip/base/stream/DataSource.h"

#include <cstdint>

namespace vexmar {

class XString;

class FileDataSource : public DataSource {
public:
    FileDataSource() = default;
    // Opens the file for reading (others may still read and write it).
    bool open(const XString& path, LogBase& log);

    void close() override;
    bool readRaw(uint8_t* buffer, uint32_t max, uint32_t& count, bool& atEnd,
                 ProgressMonitor* monitor, LogBase& log) override;
    bool atEnd() override { return atEnd_; }
    bool seekAbsolute(int64_t position) override;
    bool seekRelative(int64_t offset) override;
    int64_t position() override;
    void rewind() override;

private:
    VexmarHandle file_;
    bool atEnd_ = true;
};

} // namespace vexmar
