// Text conversion throughput: ours against glibc's iconv on the same 64 MiB of text, in the same
// run. iconv serves only as the yardstick here: the product never calls it.
#include "bench/BenchTiming.h"
#include "codecs/lzma/LzmaUnpack.h"
#include "zip/base/text/EncodingConvert.h"
#include "zip/base/DataBuffer.h"
#include "zip/base/LogNull.h"
#include "zip/base/text/PackedTables.h"

#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace vexmar;

namespace {

constexpr size_t kMiB = size_t(1) << 20;
constexpr size_t kTextSize = 64 * kMiB;
constexpr int kRuns = 5;

// Lines of several scripts, drawn at random: mostly ASCII, with Latin, Cyrillic, Greek and
// CJK text between.
const char* const kMixedLines[] = {
    "The installer copies its files into the download folder before it starts.\n",
    "Le programme d'installation copie ses fichiers dans le dossier choisi.\n",
    "Das Installationsprogramm kopiert seine Dateien in den gew\xC3\xA4hlten Ordner.\n",
    "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD0\xB0 "
    "\xD1\x83\xD1\x81\xD1\x82\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2\xD0\xBA\xD0\xB8.\n",
    "\xCE\x95\xCE\xB3\xCE\xBA\xCE\xB1\xCF\x84\xCE\xAC\xCF\x83\xCF\x84\xCE\xB1\xCF\x83\xCE\xB7.\n",
    "src/installer/setup.exe, orvsuite.xml, readme.txt: 1024 bytes.\n",
    "\xE3\x82\xA4\xE3\x83\xB3\xE3\x82\xB9\xE3\x83\x88\xE3\x83\xBC\xE3\x83\xA9\xE3\x82\x92"
    "\xE8\xB5\xB7\xE5\x8B\x95\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x99\xE3\x80\x82\n",
    "\xE5\xAE\x89\xE8\xA3\x85\xE7\xA8\x8B\xE5\xBA\x8F\xE6\xAD\xA3\xE5\x9C\xA8\xE5\xA4\x8D"
    "\xE5\x88\xB6\xE6\x96\x87\xE4\xBB\xB6\xE3\x80\x82\n",
};

// Japanese as it is written in cp932: kanji and kana with some ASCII and half-width kana.
const char* const kJapaneseLines[] = {
    "\xE3\x83\x80\xE3\x82\xA6\xE3\x83\xB3\xE3\x83\xAD\xE3\x83\xBC\xE3\x83\x89\xE3\x81\x97"
    "\xE3\x81\x9F\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE3\x82\x92\xE5\xB1\x95"
    "\xE9\x96\x8B\xE3\x81\x97\xE3\x81\xA6\xE3\x81\x84\xE3\x81\xBE\xE3\x81\x99\xE3\x80\x82\r\n",
    "\xE8\xA1\xA8\xE7\xA4\xBA\xE3\x81\x99\xE3\x82\x8B\xE4\xB8\x80\xE8\xA6\xA7\xE8\xA1\xA8 "
    "(setup.exe) \xE3\x82\x92\xE9\x96\x8B\xE3\x81\x8F\r\n",
    "\xEF\xBD\xB2\xEF\xBE\x9D\xEF\xBD\xBD\xEF\xBE\x84\xEF\xBD\xB0\xEF\xBE\x99 "
    "\xE5\xAE\x8C\xE4\xBA\x86 100%\r\n",
    "\xE6\xBC\xA2\xE5\xAD\x97\xE3\x81\xA8\xE4\xBB\xAE\xE5\x90\x8D\xE3\x81\xAE\xE6\x96\x87"
    "\xE7\xAB\xA0\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82\r\n",
};

std::string makeText(const char* const* lines, size_t count) {
    std::mt19937 gen(7);
    std::string text;
    text.reserve(kTextSize + 256);
    while (text.size() < kTextSize)
        text += lines[gen() % count];
    return text;
}

// Each side converts into an output buffer it keeps from run to run, so that the runs time the
// conversion rather than the allocation of 128 MiB.
class Ours {
public:
    Ours(int from, int to) : from_(from), to_(to) {}
    size_t convert(const std::string& in) {
        out_.clear();
        LogNull log;
        EncodingConvert converter;
        converter.EncConvert(from_, to_, in.data(), uint32_t(in.size()), out_, log);
        return out_.getSize();
    }
    std::string result() const {
        return std::string(reinterpret_cast<const char*>(out_.getData()), out_.getSize());
    }

private:
    int from_;
    int to_;
    DataBuffer out_;
};

class Iconv {
public:
    Iconv(const char* from, const char* to) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (cd_ != iconv_t(-1))
            iconv_close(cd_);
    }
    size_t convert(const std::string& in) {
        if (cd_ == iconv_t(-1))
            return 0;
        out_.resize(in.size() * 2 + 16);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = out_.data();
        size_t dstLeft = out_.size();
        iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
        size_ = out_.size() - dstLeft;
        return size_;
    }
    std::string result() const { return out_.substr(0, size_); }

private:
    iconv_t cd_;
    std::string out_;
    size_t size_ = 0;
};

std::string convertOnce(int from, int to, const std::string& in) {
    Ours ours(from, to);
    ours.convert(in);
    return ours.result();
}

struct Direction {
    const char* title;
    int from;
    int to;
    const char* iconvFrom;
    const char* iconvTo;
    const std::string& input;
};

// MiB of input per second, median of the runs; false when the outputs differ.
bool compare(const Direction& d) {
    Ours ours(d.from, d.to);
    Iconv theirs(d.iconvFrom, d.iconvTo);
    std::vector<double> oursSeconds;
    std::vector<double> iconvSeconds;
    for (int run = 0; run < kRuns; ++run) {
        oursSeconds.push_back(bench::secondsOf([&] { bench::keep(ours.convert(d.input)); }));
        iconvSeconds.push_back(bench::secondsOf([&] { bench::keep(theirs.convert(d.input)); }));
    }
    double mib = double(d.input.size()) / kMiB;
    double oursRate = mib / bench::median(oursSeconds);
    double iconvRate = mib / bench::median(iconvSeconds);
    bool agree = ours.result() == theirs.result();
    std::printf("  %-22s %10.0f %10.0f %9.2fx%s\n", d.title, oursRate, iconvRate,
                oursRate / iconvRate, agree ? "" : "  MISMATCH");
    return agree;
}

} // namespace

int main() {
    setCodePageUnpacker(lzmaUnpack);
    const std::string utf8 = makeText(kMixedLines, std::size(kMixedLines));
    const std::string utf16 = convertOnce(65001, 1200, utf8);
    const std::string cp932 =
        convertOnce(65001, 932, makeText(kJapaneseLines, std::size(kJapaneseLines)));

    std::printf("Text conversion: %zu MiB of input, median of %d runs, MiB/s of input\n",
                kTextSize / kMiB, kRuns);
    std::printf("  %-22s %10s %10s %10s\n", "", "ours", "iconv", "ratio");
    bool ok = compare({"UTF-8 to UTF-16", 65001, 1200, "UTF-8", "UTF-16LE", utf8});
    ok = compare({"UTF-16 to UTF-8", 1200, 65001, "UTF-16LE", "UTF-8", utf16}) && ok;
    ok = compare({"cp932 to UTF-16", 932, 1200, "CP932", "UTF-16LE", cp932}) && ok;
    return ok ? 0 : 1;
}
