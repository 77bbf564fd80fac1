// AES, SHA-1, HMAC-SHA1 and PBKDF2 against the examples published with their standards, on
// every code path this processor can run.
#include "codecs/crypto/Aes.h"
#include "codecs/crypto/AesKernels.h"
#include "codecs/crypto/HmacSha1.h"
#include "codecs/crypto/Pbkdf2.h"
#include "codecs/crypto/Sha1.h"
#include "codecs/crypto/Sha1Kernels.h"
#include "tests/support/ProcessorPaths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace vexmar;

namespace {

std::vector<uint8_t> fromHex(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string toHex(const uint8_t* p, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

std::vector<uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// The portable code always; the processor's instructions too where it has them.
std::vector<bool> portableChoices(bool processorHasIt) {
    return processorHasIt ? std::vector<bool>{true, false} : std::vector<bool>{true};
}

TEST(AesTest, SubBytesMatchesKnownEntriesAndIsAPermutation) {
    const std::pair<uint8_t, uint8_t> known[] = {{0x00, 0x63}, {0x01, 0x7C}, {0x53, 0xED},
                                                 {0x10, 0xCA}, {0xFF, 0x16}, {0xC9, 0xDD}};
    for (const auto& [in, out] : known)
        EXPECT_EQ(vexmar::aesSubBytes8(in) & 0xFF, out) << int(in);
    bool seen[256] = {};
    for (int x = 0; x < 256; x += 8) {
        uint64_t packed = 0;
        for (int i = 0; i < 8; ++i)
            packed |= uint64_t(x + i) << (8 * i);
        const uint64_t s = vexmar::aesSubBytes8(packed);
        for (int i = 0; i < 8; ++i)
            seen[(s >> (8 * i)) & 0xFF] = true;
    }
    for (int v = 0; v < 256; ++v)
        EXPECT_TRUE(seen[v]) << v;
}

TEST(AesTest, KeyScheduleEndsWithThePublishedLastRoundKey) {
    const auto key = fromHex("2b7e151628aed2a6abf7158809cf4f3c");
    vexmar::AesEncryptor aes;
    ASSERT_TRUE(aes.setKey(key.data(), key.size()));
    ASSERT_EQ(aes.rounds(), 10);
    EXPECT_EQ(toHex(aes.roundKeys() + 160, 16), "d014f9a8c9ee2589e13f0cc8b6630ca6");
}

TEST(AesTest, EncryptsThePublishedExampleForEachKeyLength) {
    const struct {
        const char* key;
        const char* cipher;
    } cases[] = {
        {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
         "8ea2b7ca516745bfeafc49904b496089"},
    };
    const auto plain = fromHex("00112233445566778899aabbccddeeff");
    for (const bool portable : portableChoices(hasAesNi())) {
        for (const auto& c : cases) {
            const auto key = fromHex(c.key);
            vexmar::AesEncryptor aes;
            aes.usePortableCode(portable);
            ASSERT_TRUE(aes.setKey(key.data(), key.size()));
            uint8_t out[16];
            aes.encryptBlock(plain.data(), out);
            EXPECT_EQ(toHex(out, 16), c.cipher) << c.key << " portable " << portable;
        }
    }
}

TEST(AesTest, RefusesOtherKeyLengths) {
    const uint8_t key[33] = {};
    vexmar::AesEncryptor aes;
    for (size_t n : {0u, 15u, 17u, 20u, 31u, 33u})
        EXPECT_FALSE(aes.setKey(key, n)) << n;
}

// Counter mode: block i is XORed with E(counter + 1 + i), the counter little-endian in the
// first eight bytes. Both paths agree with that written out block by block, across the
// eight-block batches of the instruction path and a carry out of the low counter byte.
TEST(AesTest, CounterModeMatchesBlockByBlockEncryption) {
    std::mt19937 random(7);
    for (size_t keyBytes : {16u, 24u, 32u}) {
        std::vector<uint8_t> key(keyBytes);
        for (auto& b : key)
            b = uint8_t(random());
        std::vector<uint8_t> data(16 * 21);
        for (auto& b : data)
            b = uint8_t(random());
        const uint64_t start = 0xF0; // crosses 0xFF -> 0x100
        std::vector<uint8_t> expected = data;
        vexmar::AesEncryptor reference;
        reference.usePortableCode(true);
        reference.setKey(key.data(), key.size());
        for (size_t b = 0; b < 21; ++b) {
            uint8_t counter[16] = {};
            const uint64_t value = start + 1 + b;
            for (int i = 0; i < 8; ++i)
                counter[i] = uint8_t(value >> (8 * i));
            uint8_t stream[16];
            reference.encryptBlock(counter, stream);
            for (int i = 0; i < 16; ++i)
                expected[16 * b + i] ^= stream[i];
        }
        for (const bool portable : portableChoices(hasAesNi())) {
            vexmar::AesEncryptor aes;
            aes.usePortableCode(portable);
            aes.setKey(key.data(), key.size());
            std::vector<uint8_t> got = data;
            uint64_t counter = start;
            aes.ctrXorBlocks(counter, got.data(), 21);
            EXPECT_EQ(got, expected) << keyBytes << " portable " << portable;
            EXPECT_EQ(counter, start + 21);
        }
    }
}

TEST(Sha1Test, PublishedExamples) {
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    };
    for (const bool portable : portableChoices(hasShaNi())) {
        for (const auto& c : cases) {
            vexmar::Sha1 sha;
            sha.usePortableCode(portable);
            sha.update(c.message.data(), c.message.size());
            uint8_t digest[20];
            sha.finish(digest);
            EXPECT_EQ(toHex(digest, 20), c.digest) << c.message.size() << " portable " << portable;
        }
    }
}

// Padding puts the length in the same block or the next: message lengths around 55, 56 and
// 64 bytes, fed whole and in uneven pieces, give the same digests on both paths.
TEST(Sha1Test, PaddingAndPiecesAgreeAcrossPaths) {
    std::string message;
    for (int i = 0; i < 300; ++i)
        message += char('a' + i % 26);
    for (size_t length : {54u, 55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 128u, 300u}) {
        std::string digests[2];
        int k = 0;
        for (const bool portable : {true, false}) {
            vexmar::Sha1 sha;
            sha.usePortableCode(portable);
            for (size_t at = 0, step = 1; at < length; at += step, step = step * 3 % 71 + 1)
                sha.update(message.data() + at, std::min(step, length - at));
            uint8_t digest[20];
            sha.finish(digest);
            digests[k++] = toHex(digest, 20);
        }
        EXPECT_EQ(digests[0], digests[1]) << length;
    }
}

TEST(HmacSha1Test, PublishedExamples) {
    const struct {
        std::vector<uint8_t> key;
        std::vector<uint8_t> data;
        const char* mac;
    } cases[] = {
        {std::vector<uint8_t>(20, 0x0B), bytesOf("Hi There"),
         "b617318655057264e28bc0b6fb378c8ef146be00"},
        {bytesOf("Jefe"), bytesOf("what do ya want for nothing?"),
         "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79"},
        {std::vector<uint8_t>(20, 0xAA), std::vector<uint8_t>(50, 0xDD),
         "125d7342b9ac11cd91a39af48aa17b4f63f175d3"},
        {std::vector<uint8_t>(80, 0xAA),
         bytesOf("Test Using Larger Than Block-Size Key - Hash Key First"),
         "aa4ae5e15272d00e95705637ce8a3b55ed402112"},
    };
    for (const auto& c : cases) {
        vexmar::HmacSha1 hmac;
        hmac.setKey(c.key.data(), c.key.size());
        // Twice: finishing starts the next message with the same key.
        for (int round = 0; round < 2; ++round) {
            hmac.update(c.data.data(), c.data.size());
            uint8_t mac[20];
            hmac.finish(mac);
            EXPECT_EQ(toHex(mac, 20), c.mac) << round;
        }
    }
}

TEST(Pbkdf2Test, PublishedExamples) {
    const struct {
        std::string password;
        std::string salt;
        uint32_t iterations;
        const char* key;
    } cases[] = {
        {"password", "salt", 1, "0c60c80f961f0e71f3a9b524af6012062fe037a6"},
        {"password", "salt", 2, "ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957"},
        {"password", "salt", 4096, "4b007901b765489abead49d926f721d065a429c1"},
        {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096,
         "3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038"},
        {std::string("pass\0word", 9), std::string("sa\0lt", 5), 4096,
         "56fa6aa75548099dcc37d7f03425e0c3"},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> out(std::strlen(c.key) / 2);
        vexmar::pbkdf2HmacSha1(reinterpret_cast<const uint8_t*>(c.password.data()),
                               c.password.size(), reinterpret_cast<const uint8_t*>(c.salt.data()),
                               c.salt.size(), c.iterations, out.data(), out.size());
        EXPECT_EQ(toHex(out.data(), out.size()), c.key) << c.password << " " << c.iterations;
    }
}

} // namespace
