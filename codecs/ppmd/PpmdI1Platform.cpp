#include "codecs/ppmd/PpmdI1Platform.h"

#include "codecs/ppmd/BufferedOutput.h"
#include "codecs/ppmd/BufferedSource.h"
#include "codecs/ppmd/DecodeSymbol.h"
#include "zip/base/LogBase.h"
#include "zip/base/stream/ProgressMonitor.h"

namespace vexmar {

PpmdI1Platform::~PpmdI1Platform() = default;

bool PpmdI1Platform::checkParameters(unsigned restorationMethod, unsigned maxOrder,
                                     unsigned memoryMegabytes, LogBase& log) {
    if (maxOrder < 1 || maxOrder > kMaxOrder) {
        log.logError("Invalid PPMd model order.");
        log.logDataInt("maxModelOrder", static_cast<int>(maxOrder));
        return false;
    }
    if (memoryMegabytes < 1 || memoryMegabytes > kMaxMegabytes) {
        log.logError("Invalid PPMd sub-allocator size.");
        log.logDataInt("subAllocatorSize", static_cast<int>(memoryMegabytes));
        return false;
    }
    // The freeze method (2) is not written by the encoders in use; its original and its
    // later corrected form do not agree, so no choice here would decode all of its data.
    if (restorationMethod != ppmd::kRestart && restorationMethod != ppmd::kCutOff) {
        log.logError("Unsupported PPMd model restoration method.");
        log.logDataInt("modelRestorationMethod", static_cast<int>(restorationMethod));
        return false;
    }
    return true;
}

bool PpmdI1Platform::decode(unsigned restorationMethod, unsigned maxOrder, unsigned memoryMegabytes,
                            DataSource& source, Output& output, ProgressMonitor* monitor,
                            LogBase& log, uint64_t maxOutputBytes) {
    if (!checkParameters(restorationMethod, maxOrder, memoryMegabytes, log))
        return false;
    ppmd::BufferedSource in;
    in.attach(source, monitor, log);
    ppmd::BufferedOutput out;
    out.attach(output, monitor, log);

    const uint32_t bytes = memoryMegabytes << 20;
    if (!model_.memory.allocate(bytes)) {
        log.logError("Not enough memory for the PPMd model.");
        log.logDataInt64("subAllocatorBytes", bytes);
        return false;
    }
    rc_.start(in);
    model_.start(maxOrder, static_cast<ppmd::RestoreMethod>(restorationMethod));

    const Stop stop = run(in, out, maxOutputBytes);
    const bool flushed = out.flush();
    model_.memory.release();

    switch (stop) {
    case Stop::kEndMark:
        break;
    case Stop::kDataError:
        log.logError("The PPMd data is corrupt.");
        break;
    case Stop::kTruncated:
        log.logError("The PPMd data ends before its end mark.");
        break;
    case Stop::kTooLong:
        log.logError("The PPMd data decodes to more bytes than expected.");
        log.logDataInt64("expectedSize", static_cast<int64_t>(maxOutputBytes));
        break;
    case Stop::kReadFailed:
        log.logError("Failed to read PPMd compressed data.");
        break;
    case Stop::kWriteFailed:
        break; // the output said why
    }
    const bool ok = stop == Stop::kEndMark && flushed;
    if (!ok && monitor && monitor->abortFlag())
        log.logError("Aborted by application callback.");
    return ok;
}

PpmdI1Platform::Stop PpmdI1Platform::run(ppmd::BufferedSource& in, ppmd::BufferedOutput& out,
                                         uint64_t maxOutputBytes) {
    uint64_t left = maxOutputBytes;
    for (;;) {
        const int symbol = ppmd::decodeSymbol(model_, rc_);
        // A symbol that needed bytes beyond the data is not to be trusted, end mark or not.
        if (in.exhausted())
            return in.hasError() ? Stop::kReadFailed : Stop::kTruncated;
        if (symbol < 0)
            return symbol == ppmd::kEndMark ? Stop::kEndMark : Stop::kDataError;
        if (left == 0)
            return Stop::kTooLong;
        --left;
        if (!out.putByte(static_cast<uint8_t>(symbol)))
            return Stop::kWriteFailed;
    }
}

} // namespace vexmar
