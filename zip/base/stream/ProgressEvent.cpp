#include "zip/base/stream/ProgressEvent.h"

namespace vexmar {

namespace {

void answerNo(bool* flag) {
    if (flag)
        *flag = false;
}

} // namespace

ProgressEvent::~ProgressEvent() = default;

void ProgressEvent::percentDone(int32_t, bool* abort) {
    answerNo(abort);
}
void ProgressEvent::abortCheck(bool* abort) {
    answerNo(abort);
}
void ProgressEvent::progressInfo(const char*, const char*) {}
void ProgressEvent::reservedNotification(int32_t) {}
void ProgressEvent::fileToBeAdded(const char*, int64_t, bool* exclude) {
    answerNo(exclude);
}
void ProgressEvent::dirToBeAdded(const char*, bool* exclude) {
    answerNo(exclude);
}
void ProgressEvent::fileAdded(const char*, int64_t, bool* abort) {
    answerNo(abort);
}
void ProgressEvent::fileToBeZipped(const char*, int64_t, bool* exclude) {
    answerNo(exclude);
}
void ProgressEvent::fileZipped(const char*, int64_t, int64_t, bool* abort) {
    answerNo(abort);
}
void ProgressEvent::toBeUnzipped(const char*, int64_t, int64_t, bool, bool* exclude) {
    answerNo(exclude);
}
void ProgressEvent::skippedForUnzip(const char*, int64_t, int64_t, bool) {}
void ProgressEvent::fileUnzipped(const char*, int64_t, int64_t, bool, bool* abort) {
    answerNo(abort);
}
void ProgressEvent::addFilesBegin() {}
void ProgressEvent::addFilesEnd() {}
void ProgressEvent::writeZipBegin() {}
void ProgressEvent::writeZipEnd() {}
void ProgressEvent::unzipBegin() {}
void ProgressEvent::unzipEnd() {}

} // namespace vexmar
