// Every vector-instruction path (AES, SHA-1, CRC-32 folding) against its portable twin, with
// keys, state and data at every alignment, in objects on the heap, and on a stack aligned to
// four bytes only: 32-bit Windows gives no more to the heap (8) and to the stack (4) of a
// callback or a thread start, while the vector instructions' memory operands want 16.
#include "zip/base/checksum/CrcKernels.h"
#include "codecs/crypto/Aes.h"
#include "codecs/crypto/AesKernels.h"
#include "codecs/crypto/Sha1.h"
#include "codecs/crypto/Sha1Kernels.h"
#include "tests/support/ProcessorPaths.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

using namespace vexmar;

namespace {

std::vector<uint8_t> randomBytes(size_t n, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(n);
    for (auto& b : bytes)
        b = uint8_t(random());
    return bytes;
}

// Read back through a volatile, so that the compiler cannot answer from the alignment the
// object's type promises: that promise is what is checked.
bool misaligned(const void* p) {
    volatile uintptr_t address = reinterpret_cast<uintptr_t>(p);
    return address % 16 != 0;
}

// More blocks than the AES path runs side by side, so that both of its loops run.
constexpr size_t kAesBlocks = 21;

std::vector<uint8_t> roundKeysFor(size_t keyBytes) {
    const auto key = randomBytes(keyBytes, uint32_t(keyBytes));
    vexmar::AesEncryptor aes;
    aes.setKey(key.data(), key.size());
    return {aes.roundKeys(), aes.roundKeys() + 16 * (aes.rounds() + 1)};
}

TEST(SimdPaths, AesWithRoundKeysAndDataAtEveryAlignment) {
    if (!hasAesNi())
        GTEST_SKIP() << "this processor lacks the AES instructions";
#if defined(VEXMAR_AES_NI)
    const auto data = randomBytes(16 * kAesBlocks, 1);
    for (size_t keyBytes : {16u, 24u, 32u}) {
        const auto keys = roundKeysFor(keyBytes);
        const int rounds = int(keys.size() / 16) - 1;
        std::vector<uint8_t> expected = data;
        uint64_t expectedCounter = 0x1F0;
        vexmar::aesCtrXorPortable(keys.data(), rounds, expectedCounter, expected.data(),
                                  kAesBlocks);
        uint8_t expectedBlock[16];
        vexmar::aesEncryptPortable(keys.data(), rounds, data.data(), expectedBlock);

        for (size_t offset = 0; offset < 16; ++offset) {
            std::vector<uint8_t> keyRoom(keys.size() + 16), dataRoom(data.size() + 16);
            uint8_t* placedKeys = keyRoom.data() + offset;
            uint8_t* placedData = dataRoom.data() + (offset * 7) % 16;
            std::memcpy(placedKeys, keys.data(), keys.size());
            std::memcpy(placedData, data.data(), data.size());
            uint64_t counter = 0x1F0;
            vexmar::aesCtrXorNi(placedKeys, rounds, counter, placedData, kAesBlocks);
            EXPECT_EQ(std::vector<uint8_t>(placedData, placedData + data.size()), expected)
                << keyBytes << "-byte key at offset " << offset;
            EXPECT_EQ(counter, expectedCounter);
            uint8_t block[16];
            vexmar::aesEncryptNi(placedKeys, rounds, data.data(), block);
            EXPECT_EQ(0, std::memcmp(block, expectedBlock, 16))
                << keyBytes << "-byte key at offset " << offset;
        }
    }
#endif
}

TEST(SimdPaths, Sha1WithStateAndDataAtEveryAlignment) {
    if (!hasShaNi())
        GTEST_SKIP() << "this processor lacks the SHA instructions";
#if defined(VEXMAR_SHA_NI)
    constexpr size_t kBlocks = 3;
    const auto data = randomBytes(64 * kBlocks, 2);
    const uint32_t start[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    uint32_t expected[5];
    std::memcpy(expected, start, sizeof start);
    vexmar::sha1BlocksPortable(expected, data.data(), kBlocks);

    for (size_t stateOffset = 0; stateOffset < 16; stateOffset += 4) {
        for (size_t dataOffset = 0; dataOffset < 16; ++dataOffset) {
            alignas(16) uint32_t stateRoom[9];
            uint32_t* state = stateRoom + stateOffset / 4;
            std::memcpy(state, start, sizeof start);
            std::vector<uint8_t> dataRoom(data.size() + 16);
            std::memcpy(dataRoom.data() + dataOffset, data.data(), data.size());
            vexmar::sha1BlocksNi(state, dataRoom.data() + dataOffset, kBlocks);
            EXPECT_EQ(0, std::memcmp(state, expected, sizeof expected))
                << "state at " << stateOffset << ", data at " << dataOffset;
        }
    }
#endif
}

// An AES object inside others, made on the heap the ways the engine makes them: its key
// schedule is where its type says, and both paths give the same key stream.
TEST(SimdPaths, AesObjectsOnTheHeapKeepTheirAlignment) {
    struct Holder {
        char tag = 0;
        vexmar::AesEncryptor aes;
    };
    const auto key = randomBytes(32, 3);
    const auto data = randomBytes(16 * kAesBlocks, 4);
    auto single = std::make_unique<vexmar::AesEncryptor>();
    auto held = std::make_unique<Holder>();
    std::vector<Holder> several(3);
    std::vector<vexmar::AesEncryptor*> all = {single.get(), &held->aes};
    for (Holder& h : several)
        all.push_back(&h.aes);

    for (vexmar::AesEncryptor* aes : all) {
        ASSERT_TRUE(aes->setKey(key.data(), key.size()));
        EXPECT_FALSE(misaligned(aes->roundKeys()))
            << "key schedule at " << static_cast<const void*>(aes->roundKeys());
        std::vector<uint8_t> results[2];
        for (int portable = 0; portable < 2; ++portable) {
            aes->usePortableCode(portable || !hasAesNi());
            results[portable] = data;
            uint64_t counter = 0;
            aes->ctrXorBlocks(counter, results[portable].data(), kAesBlocks);
        }
        EXPECT_EQ(results[0], results[1]);
        EXPECT_NE(results[0], data);
    }
}

// What one run of every path gives, made on whatever stack the caller leaves.
struct PathResults {
    bool keysAligned = false;
    std::vector<uint8_t> aes[2];
    uint8_t sha1[2][20] = {};
    uint32_t crc[2] = {};
};

void runEveryPath(void* context) {
    auto* out = static_cast<PathResults*>(context);
    const auto data = randomBytes(16 * kAesBlocks + 3, 5);
    const auto key = randomBytes(24, 6);
    vexmar::AesEncryptor aes;
    aes.setKey(key.data(), key.size());
    out->keysAligned = !misaligned(aes.roundKeys());
    for (int portable = 0; portable < 2; ++portable) {
        aes.usePortableCode(portable);
        out->aes[portable].assign(data.begin(), data.begin() + 16 * kAesBlocks);
        uint64_t counter = 7;
        aes.ctrXorBlocks(counter, out->aes[portable].data(), kAesBlocks);

        vexmar::Sha1 sha;
        sha.usePortableCode(portable);
        sha.update(data.data(), data.size());
        sha.finish(out->sha1[portable]);
    }
    uint32_t (*fast)(uint32_t, const uint8_t*, size_t) = vexmar::crc32Slice16;
#if defined(VEXMAR_CRC32_CLMUL)
    if (hasClmul())
        fast = vexmar::crc32Clmul;
#endif
    out->crc[0] = fast(0xFFFFFFFF, data.data() + 1, data.size() - 1);
    out->crc[1] = vexmar::crc32Slice16(0xFFFFFFFF, data.data() + 1, data.size() - 1);
}

#if defined(_WIN32) && defined(__i386__)
// Calls fn(context) with the stack pointer `shift` bytes below a multiple of 16 at the call,
// as a caller that keeps only the 4-byte alignment Windows guarantees may leave it.
extern "C" void simdTestCallWithStackShift(void (*fn)(void*), void* context, uint32_t shift);
asm(".text\n"
    ".globl _simdTestCallWithStackShift\n"
    "_simdTestCallWithStackShift:\n"
    "  pushl %ebp\n"
    "  movl %esp, %ebp\n"
    "  movl 8(%ebp), %eax\n"
    "  movl 12(%ebp), %ecx\n"
    "  movl 16(%ebp), %edx\n"
    "  andl $-16, %esp\n"
    "  subl %edx, %esp\n"
    "  subl $12, %esp\n"
    "  pushl %ecx\n"
    "  call *%eax\n"
    "  movl %ebp, %esp\n"
    "  popl %ebp\n"
    "  ret\n");
constexpr uint32_t kShifts[] = {0, 4, 8, 12};
#else
// Elsewhere the ABI keeps the stack aligned: the paths run on it as it is.
void simdTestCallWithStackShift(void (*fn)(void*), void* context, uint32_t) {
    fn(context);
}
constexpr uint32_t kShifts[] = {0};
#endif

TEST(SimdPaths, EveryPathMatchesItsTwinOnAStackAlignedToFourBytes) {
    for (uint32_t shift : kShifts) {
        PathResults results;
        simdTestCallWithStackShift(runEveryPath, &results, shift);
        EXPECT_TRUE(results.keysAligned) << "shift " << shift;
        EXPECT_EQ(results.aes[0], results.aes[1]) << "shift " << shift;
        EXPECT_EQ(0, std::memcmp(results.sha1[0], results.sha1[1], 20)) << "shift " << shift;
        EXPECT_EQ(results.crc[0], results.crc[1]) << "shift " << shift;
    }
}

} // namespace
