// Running the decoders in the tests: a log that records what it is told, sample data, and one
// call per decoder that returns the output with the decoder's answer and log.
#pragma once

#include "LegacyEncoders.h"
#include "codecs/legacy/Implode.h"
#include "codecs/legacy/Unshrink.h"
#include "zip/base/DataBuffer.h"
#include "tests/support/RecordingLog.h"
#include "zip/base/LogBase.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

// The decoder's answer, its output and the messages it logged.
struct DecodeResult {
    bool hasInfo(const std::string& text) const {
        return std::find(infos.begin(), infos.end(), text) != infos.end();
    }

    bool ok = false;
    Bytes output;
    std::vector<std::string> errors;
    std::vector<std::string> infos;
};

inline void collect(DecodeResult& r, const vexmar::DataBuffer& out, const RecordingLog& log) {
    r.output.assign(out.getData(), out.getData() + out.getSize());
    r.errors = log.errors;
    r.infos = log.infos;
}

inline DecodeResult unshrink(const Bytes& data, uint64_t expectedSize) {
    DecodeResult r;
    RecordingLog log;
    vexmar::DataBuffer out;
    vexmar::Unshrink decoder;
    r.ok = decoder.decode(data.data(), uint32_t(data.size()), expectedSize, log, out);
    collect(r, out, log);
    return r;
}

inline DecodeResult explode(const Bytes& data, const ImplodeOptions& options,
                            uint64_t expectedSize) {
    DecodeResult r;
    RecordingLog log;
    vexmar::DataBuffer out;
    vexmar::Implode decoder;
    decoder.setInput(data.data(), uint32_t(data.size()));
    r.ok = decoder.decode(options.eightKDictionary, options.literalTree, expectedSize, log, out);
    collect(r, out, log);
    return r;
}

inline constexpr const char* kEndedEarly =
    "The compressed data ended before the entry's size was reached.";

// Words from a small vocabulary: text with repeats near and far.
inline Bytes sampleText(size_t size, unsigned seed) {
    static const char* const kWords[] = {"the ",     "whale ", "sea ",   "ship ",    "Ahab ",
                                         "and ",     "of ",    "white ", "a ",       "captain ",
                                         "harpoon ", "deep ",  "\n",     "Ishmael ", "voyage "};
    std::mt19937 random(seed);
    Bytes text;
    while (text.size() < size) {
        const std::string word = kWords[random() % std::size(kWords)];
        text.insert(text.end(), word.begin(), word.end());
    }
    text.resize(size);
    return text;
}

inline Bytes sampleRandom(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes data(size);
    for (uint8_t& b : data)
        b = uint8_t(random());
    return data;
}
