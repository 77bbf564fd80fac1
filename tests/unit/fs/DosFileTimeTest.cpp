#include "tests/unit/fs/ScratchDir.h"
#include "zip/base/fs/FileSys.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace vexmar;

namespace {

using scratch::X;

constexpr int64_t kTicksPerSecond = 10000000;

struct Wall {
    int year, month, day, hour, minute, second;
};

uint16_t dosDate(const Wall& w) {
    return uint16_t(((w.year - 1980) << 9) | (w.month << 5) | w.day);
}
uint16_t dosTime(const Wall& w) {
    return uint16_t((w.hour << 11) | (w.minute << 5) | (w.second / 2));
}

// The wall-clock value read as if it were UTC, in FileTime ticks.
os::FileTime naiveTicks(const Wall& w) {
    // Days since 1970-01-01 of a proleptic Gregorian date.
    const int y = w.year - (w.month <= 2);
    const int era = y / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (w.month + (w.month > 2 ? -3 : 9)) + 2) / 5 + w.day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t days = int64_t(era) * 146097 + doe - 719468;
    const int64_t seconds = days * 86400 + w.hour * 3600 + w.minute * 60 + w.second;
    return os::kUnixEpochFileTime + os::FileTime(seconds * kTicksPerSecond);
}

const Wall kDates[] = {
    {1980, 1, 1, 0, 0, 0},     {2021, 1, 15, 8, 30, 10},   {2021, 7, 15, 12, 0, 0},
    {2021, 10, 31, 1, 59, 58}, {2107, 12, 31, 23, 59, 58},
};

// Natively the tests run in a zone with daylight saving time, so that the
// summer and winter dates differ; under Wine the zone is the host's.
class DosFileTime : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        const char* saved = std::getenv("TZ");
        hadZone_ = saved != nullptr;
        savedZone_ = saved ? saved : "";
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
#endif
    }
    void TearDown() override {
#ifndef _WIN32
        if (hadZone_)
            setenv("TZ", savedZone_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
#endif
    }

private:
    bool hadZone_ = false;
    std::string savedZone_;
};

os::FileTime readBack(const std::string& path) {
    VexmarHandle file = FileSys::openForReadWin32(X(path), nullptr, nullptr);
    os::FileTime time = 0;
    EXPECT_TRUE(file.lastWriteTime(time, nullptr));
    return time;
}

// Under today's UTC offset the instant reads as the archive's wall-clock value,
// whatever daylight saving time applied on the date itself.
TEST_F(DosFileTime, ReadsBackAsTheWallClockUnderTodaysOffset) {
    const int64_t offsetNow = os::utcOffsetSeconds(os::currentFileTime());
    for (const Wall& w : kDates) {
        const os::FileTime t = FileSys::fileTimeFromDos(dosDate(w), dosTime(w));
        EXPECT_EQ(int64_t(t) + offsetNow * kTicksPerSecond, int64_t(naiveTicks(w)))
            << w.year << "-" << w.month << "-" << w.day;
    }
}

TEST_F(DosFileTime, ImpossibleDatesGiveNow) {
    for (uint16_t date :
         {uint16_t(0), uint16_t((41 << 9) | (13 << 5) | 1), uint16_t(41 << 9 | 1 << 5)}) {
        const os::FileTime before = os::currentFileTime();
        const os::FileTime t = FileSys::fileTimeFromDos(date, 0x6000);
        EXPECT_GE(t, before) << date;
        EXPECT_LE(t, os::currentFileTime()) << date;
    }
}

TEST_F(DosFileTime, SetsFilesThroughHandleAndPath) {
    scratch::Dir dir;
    const Wall summer{2021, 7, 15, 12, 0, 0};
    const std::string viaHandle = dir["handle.txt"];
    {
        VexmarHandle file = FileSys::openForWriteWin32(X(viaHandle), nullptr, nullptr);
        ASSERT_TRUE(FileSys::setFileTimeFromDos(file, dosDate(summer), dosTime(summer), nullptr));
    }
    EXPECT_EQ(readBack(viaHandle), FileSys::fileTimeFromDos(dosDate(summer), dosTime(summer)));

    const std::string viaPath = dir["path.txt"];
    scratch::writeAll(viaPath, "x");
    ASSERT_TRUE(FileSys::setFileTimeFromDos(X(viaPath), dosDate(summer), dosTime(summer), nullptr));
    EXPECT_EQ(readBack(viaPath), readBack(viaHandle));

    // Directories too; their time compares with the file's.
    const std::string folder = dir["folder"];
    ASSERT_TRUE(FileSys::createDirWin32(X(folder), nullptr));
    ASSERT_TRUE(FileSys::setFileTimeFromDos(X(folder), dosDate(summer), dosTime(summer), nullptr));
    EXPECT_EQ(std::filesystem::last_write_time(scratch::fsPath(folder)),
              std::filesystem::last_write_time(scratch::fsPath(viaPath)));

    // A day of 0 means now.
    const os::FileTime before = os::currentFileTime();
    ASSERT_TRUE(FileSys::setFileTimeFromDos(X(viaPath), 0, 0, nullptr));
    const os::FileTime set = readBack(viaPath);
    EXPECT_GE(set + kTicksPerSecond, before);
    EXPECT_LE(set, os::currentFileTime() + kTicksPerSecond);

    Logger log;
    EXPECT_FALSE(FileSys::setFileTimeFromDos(X(dir["missing"]), dosDate(summer), 0, &log));
    EXPECT_NE(scratch::logText(log).find("WindowsError"), std::string::npos);
}

#ifndef _WIN32
// Exact instants in a zone with daylight saving time: the platform decides
// that July is CEST (+2) and January CET (+1), then today's offset shifts both.
TEST_F(DosFileTime, DaylightSavingDatesInBerlin) {
    const time_t now = time(nullptr);
    tm parts{};
    localtime_r(&now, &parts);
    const int64_t offsetNow = parts.tm_gmtoff;
    struct Case {
        Wall wall;
        int64_t utcSeconds; // the instant the wall-clock value names
        int64_t offsetThen;
    };
    const Case cases[] = {
        {{2021, 7, 15, 12, 0, 0}, 1626343200, 7200},
        {{2021, 1, 15, 12, 0, 0}, 1610708400, 3600},
    };
    for (const Case& c : cases) {
        const int64_t expected = int64_t(os::kUnixEpochFileTime) +
                                 (c.utcSeconds - (offsetNow - c.offsetThen)) * kTicksPerSecond;
        EXPECT_EQ(int64_t(FileSys::fileTimeFromDos(dosDate(c.wall), dosTime(c.wall))), expected)
            << c.wall.month;
    }
}
#endif

} // namespace
