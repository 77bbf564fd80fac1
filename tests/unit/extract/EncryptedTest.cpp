// Encrypted entries: traditional encryption and WinZip AES, with archives written here by the
// engine's own encryptors (to reach every check), archives 7-Zip wrote (kept as small files and,
// where 7zz is installed, made afresh), and every way a wrong password or damaged data fails.
#include <gtest/gtest.h>

#include "codecs/crypto/PwdProtect.h"
#include "codecs/crypto/WinZipAes.h"
#include "tests/unit/extract/ExtractFixture.h"
#include "zip/base/LogBase.h"

#include <cstdlib>

using namespace vexmar;

using testzip::Entry;

namespace {

constexpr uint16_t kEncrypted = 0x0001;
constexpr uint16_t kDataDescriptor = 0x0008;
constexpr uint16_t kStrong = 0x0040;

const std::string kText = "Setup files for the installer, compressed and then encrypted.";

std::string encryptTraditional(const std::string& password, const std::string& plain,
                               uint8_t checkByte) {
    PwdProtect cipher;
    cipher.setPassword(reinterpret_cast<const uint8_t*>(password.data()), password.size());
    cipher.initKeys();
    std::string bytes = "0123456789A";
    bytes += char(checkByte);
    bytes += plain;
    LogBase log;
    cipher.transformWritten(reinterpret_cast<uint8_t*>(bytes.data()), uint32_t(bytes.size()), log);
    return bytes;
}

// An entry with traditional encryption over `stored` (which is `method` data of `plain`).
Entry traditional(const std::string& name, const std::string& password, const std::string& plain,
                  uint16_t flags = 0, const std::string& stored = "", uint16_t method = 0) {
    Entry e{.name = name, .method = method, .flags = uint16_t(kEncrypted | flags)};
    e.crc32 = testzip::crc32(plain);
    e.uncompressedSize = uint32_t(plain.size());
    const uint8_t check =
        (flags & kDataDescriptor) ? uint8_t(e.dosTime >> 8) : uint8_t(*e.crc32 >> 24);
    e.data = encryptTraditional(password, stored.empty() ? plain : stored, check);
    return e;
}

struct AesOptions {
    int mode = 3;
    uint16_t vendorVersion = 2;
    uint16_t method = 0;
    std::string stored; // the method's data; empty: `plain`, stored
};

// An entry with WinZip AES: salt, verifier, ciphertext, the first 10 bytes of the HMAC.
Entry winZipAes(const std::string& name, const std::string& password, const std::string& plain,
                const AesOptions& o = {}) {
    WinZipAes cipher;
    LogBase log;
    const std::string salt = std::string("saltsaltsaltsalt").substr(0, WinZipAes::saltSize(o.mode));
    uint8_t verifier[2];
    EXPECT_TRUE(cipher.fcrypt_init(o.mode, reinterpret_cast<const uint8_t*>(password.data()),
                                   password.size(), reinterpret_cast<const uint8_t*>(salt.data()),
                                   verifier, log));
    std::string body = o.stored.empty() ? plain : o.stored;
    cipher.transformWritten(reinterpret_cast<uint8_t*>(body.data()), uint32_t(body.size()), log);
    uint8_t mac[20];
    cipher.finishMac(mac);
    Entry e{.name = name, .method = 99, .flags = kEncrypted};
    e.data = salt + std::string(reinterpret_cast<char*>(verifier), 2) + body +
             std::string(reinterpret_cast<char*>(mac), 10);
    e.crc32 = o.vendorVersion == 2 ? 0 : testzip::crc32(plain);
    e.uncompressedSize = uint32_t(plain.size());
    const std::string field =
        testzip::le16(o.vendorVersion) + "AE" + char(o.mode) + testzip::le16(o.method);
    e.centralExtra = testzip::extraField(0x9901, field);
    e.localExtra = e.centralExtra;
    return e;
}

class EncryptedTest : public ExtractTest {
protected:
    void setPassword(const std::string& password) {
        zip.SetPassword(password.data(), uint32_t(password.size()));
    }
    // Extracts and checks that the one entry came out as `expected`, or failed with `message`
    // and left no file behind.
    void expectEntry(const std::string& name, const std::string& expected,
                     const std::string& message = "") {
        const bool ok = extract();
        if (message.empty()) {
            ASSERT_TRUE(ok) << zip.LastErrorXml();
            EXPECT_EQ(read(out / name), expected);
        } else {
            EXPECT_FALSE(ok);
            EXPECT_TRUE(logHas(message)) << zip.LastErrorXml();
            EXPECT_FALSE(fs::exists(out / name));
        }
    }
};

TEST_F(EncryptedTest, TraditionalEncryptionChecksTheHeaderByte) {
    const std::string deflateData = storedDeflate(kText);
    // A shrunk "ab": the 9-bit codes 0x61 and 0x62.
    const std::string shrunk("\x61\xC4\x00", 3);
    const struct {
        const char* what;
        Entry entry;
        std::string password;
        std::string expected;
        std::string message;
    } cases[] = {
        {"stored", traditional("a.txt", "secret", kText), "secret", kText, ""},
        {"deflated", traditional("a.txt", "secret", kText, 0, deflateData, 8), "secret", kText, ""},
        // With a data descriptor the check byte is the time's high byte, not the CRC-32's.
        {"descriptor", traditional("a.txt", "secret", kText, kDataDescriptor), "secret", kText, ""},
        {"shrunk", traditional("a.txt", "pw", "ab", 0, shrunk, 1), "pw", "ab", ""},
        {"password bytes as given", traditional("a.txt", "p\xE4ss\xFF", kText), "p\xE4ss\xFF",
         kText, ""},
        {"wrong password", traditional("a.txt", "secret", kText), "Secret", "",
         "Password for password-protected entry is invalid."},
        {"no password", traditional("a.txt", "secret", kText), "", "",
         "Password for password-protected entry is invalid."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(out);
        ASSERT_TRUE(open({c.entry}));
        setPassword(c.password);
        expectEntry("a.txt", c.expected, c.message);
    }
}

// One wrong password in 256 gets past the header's check byte; the stored entry's CRC-32 then
// stops the garbage from being written as the file.
TEST_F(EncryptedTest, WrongPasswordThatPassesTheCheckByteFailsOnTheCrc) {
    const Entry e = traditional("a.txt", "secret", kText);
    std::string lucky;
    for (int i = 0; i < 5000 && lucky.empty(); ++i) {
        const std::string candidate = "guess" + std::to_string(i);
        PwdProtect cipher;
        cipher.setPassword(reinterpret_cast<const uint8_t*>(candidate.data()), candidate.size());
        cipher.initKeys();
        if (cipher.checkHeader(reinterpret_cast<const uint8_t*>(e.data.data()),
                               uint8_t(*e.crc32 >> 24)))
            lucky = candidate;
    }
    ASSERT_FALSE(lucky.empty());
    ASSERT_TRUE(open({e}));
    setPassword(lucky);
    expectEntry("a.txt", "", "CRC-32 mismatch");
}

TEST_F(EncryptedTest, TraditionalEntryShorterThanItsHeaderFails) {
    Entry e = traditional("a.txt", "pw", "");
    e.data = e.data.substr(0, 11);
    ASSERT_TRUE(open({e}));
    setPassword("pw");
    expectEntry("a.txt", "", "Compressed data size too small for password-protected.");
}

TEST_F(EncryptedTest, WinZipAesKeyLengthsVersionsAndMethods) {
    const std::string deflateData = storedDeflate(kText);
    const struct {
        const char* what;
        AesOptions options;
    } cases[] = {
        {"AES-128 AE-1 stored", {.mode = 1, .vendorVersion = 1}},
        {"AES-192 AE-2 stored", {.mode = 2}},
        {"AES-256 AE-2 deflated", {.mode = 3, .method = 8, .stored = deflateData}},
        {"AES-256 AE-1 deflated",
         {.mode = 3, .vendorVersion = 1, .method = 8, .stored = deflateData}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(out);
        ASSERT_TRUE(open({winZipAes("a.txt", "password", kText, c.options)}));
        setPassword("password");
        expectEntry("a.txt", kText);
    }
}

// The password lives as long as the archive it was given for.
TEST_F(EncryptedTest, ClosingTheArchiveForgetsThePassword) {
    const Entry entry = winZipAes("a.txt", "password", kText);
    ASSERT_TRUE(open({entry}));
    setPassword("password");
    expectEntry("a.txt", kText);
    zip.CloseZip();
    fs::remove_all(out);
    ASSERT_TRUE(open({entry}));
    expectEntry("a.txt", "", "Invalid password for WinZip AES decryption;");
}

// A verbose log may be sent to anyone: neither the password's length nor the
// verifier derived from it (which lets passwords be tried offline) is in it.
TEST_F(EncryptedTest, VerboseLogsKeepThePasswordOut) {
    zip.SetVerboseLogging(true);
    for (const char* password : {"Tr0ub4dor", "WrongGuess7"}) {
        SCOPED_TRACE(password);
        fs::remove_all(out);
        ASSERT_TRUE(open({winZipAes("a.txt", "Tr0ub4dor", kText)}));
        setPassword(password);
        extract();
        const std::string log = zip.LastErrorXml();
        EXPECT_NE(log.find("fcrypt_init"), std::string::npos) << log;
        for (const char* secret : {"pwd_len", "passwordVerifier", password})
            EXPECT_EQ(log.find(secret), std::string::npos) << secret << " in\n" << log;
    }
}

TEST_F(EncryptedTest, WinZipAesFailures) {
    const auto flipped = [](Entry e, size_t fromEnd) {
        e.data[e.data.size() - fromEnd] ^= 1;
        return e;
    };
    Entry ae1WrongCrc = winZipAes("a.txt", "pw", kText, {.vendorVersion = 1});
    ae1WrongCrc.crc32 = 0;
    Entry tooShort = winZipAes("a.txt", "pw", kText);
    tooShort.data = tooShort.data.substr(0, 9);
    Entry noSalt = winZipAes("a.txt", "pw", kText);
    noSalt.data = noSalt.data.substr(0, 10 + 15);
    Entry noVerifier = winZipAes("a.txt", "pw", kText);
    noVerifier.data = noVerifier.data.substr(0, 10 + 17);
    const std::string longest(128, 'k');
    const struct {
        const char* what;
        Entry entry;
        std::string password;
        std::string message;
    } cases[] = {
        {"wrong password", winZipAes("a.txt", "pw", kText), "PW",
         "Invalid password for WinZip AES decryption;"},
        {"ciphertext changed", flipped(winZipAes("a.txt", "pw", kText), 11), "pw",
         "WZ AES authentication code mismatch."},
        {"code changed", flipped(winZipAes("a.txt", "pw", kText), 1), "pw",
         "WZ AES authentication code mismatch."},
        // AE-1 keeps its CRC-32, and the check of it.
        {"AE-1 with a wrong CRC-32", ae1WrongCrc, "pw", "CRC-32 mismatch"},
        {"shorter than the code", tooShort, "pw", "Compressed data size too small for WZ AES."},
        {"salt cut short", noSalt, "pw", "Failed to read salt value for AES decryption"},
        {"verifier cut short", noVerifier, "pw",
         "Failed to read pwd verification for AES decryption"},
        {"password of 129 bytes", winZipAes("a.txt", "pw", kText), longest + "k",
         "WinZip AES decrypt initialization failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(out);
        ASSERT_TRUE(open({c.entry}));
        setPassword(c.password);
        expectEntry("a.txt", "", c.message);
    }
    // 128 bytes are still accepted.
    fs::remove_all(out);
    ASSERT_TRUE(open({winZipAes("a.txt", longest, kText)}));
    setPassword(longest);
    expectEntry("a.txt", kText);
}

TEST_F(EncryptedTest, StrongEncryptionIsReportedAsUnsupported) {
    Entry e = traditional("a.txt", "pw", kText, kStrong);
    ASSERT_TRUE(open({e, Entry{.name = "plain.txt", .data = "fine"}}));
    setPassword("pw");
    EXPECT_FALSE(extract());
    EXPECT_TRUE(logHas("Strong encryption is not supported."));
    EXPECT_FALSE(fs::exists(out / "a.txt"));
    EXPECT_EQ(read(out / "plain.txt"), "fine");
}

// Archives 7-Zip wrote: AE-2 over deflated and stored data, and traditional encryption.
TEST_F(EncryptedTest, SevenZipFixturesExtractAndTest) {
    const std::string notes = [] {
        std::string s;
        for (int i = 0; i < 6; ++i)
            s += "The launcher unpacks its payload into a folder of its own.\n";
        return s;
    }();
    for (const char* fixture : {"aes256_deflate.zip", "zipcrypto_stored.zip"}) {
        SCOPED_TRACE(fixture);
        fs::remove_all(out);
        image = read(fs::path(PELLQUIN_TEST_DATA) / "crypto" / fixture);
        ASSERT_TRUE(zip.OpenFromMemory(image.data(), uint32_t(image.size())));
        setPassword("pellquin");
        EXPECT_TRUE(zip.Test()) << zip.LastErrorXml();
        ASSERT_TRUE(extract()) << zip.LastErrorXml();
        EXPECT_EQ(read(out / "notes.txt"), notes);
        EXPECT_EQ(read(out / "a.bin"), "short");
        fs::remove_all(out);
        setPassword("pellquin!");
        EXPECT_FALSE(zip.Test());
        EXPECT_FALSE(extract());
        EXPECT_FALSE(fs::exists(out / "notes.txt"));
        EXPECT_FALSE(fs::exists(out / "a.bin"));
    }
}

#ifndef _WIN32
bool sevenZipInstalled() {
    static const bool installed = std::system("7zz i >/dev/null 2>&1") == 0;
    return installed;
}

// Fresh archives from 7zz for each of its ZIP encryption methods over stored and deflated data,
// large enough for many source chunks and AES blocks that straddle them.
TEST_F(EncryptedTest, SevenZipArchivesOfEachEncryptionMethod) {
    if (!sevenZipInstalled())
        GTEST_SKIP() << "7zz not installed";
    std::string data;
    uint32_t x = 12345;
    for (int i = 0; i < 300000; ++i) {
        x = x * 1103515245 + 12345;
        data += (x >> 28) < 12 ? char('a' + (x >> 16) % 7) : char(x >> 8);
    }
    {
        std::ofstream f(base / "data.bin", std::ios::binary);
        f << data;
    }
    for (const char* method : {"ZipCrypto", "AES128", "AES192", "AES256"}) {
        for (const char* level : {"0", "5"}) {
            SCOPED_TRACE(std::string(method) + " -mx=" + level);
            const fs::path archive = base / (std::string(method) + level + ".zip");
            const std::string command = "cd '" + base.string() + "' && 7zz a -tzip -mem=" + method +
                                        " -mx=" + level + " -p'p w' '" + archive.string() +
                                        "' data.bin >/dev/null 2>&1";
            ASSERT_EQ(std::system(command.c_str()), 0);
            image = read(archive);
            ASSERT_TRUE(zip.OpenFromMemory(image.data(), uint32_t(image.size())));
            fs::remove_all(out);
            setPassword("p w");
            ASSERT_TRUE(extract()) << zip.LastErrorXml();
            EXPECT_TRUE(read(out / "data.bin") == data);
            fs::remove_all(out);
            setPassword("p W");
            EXPECT_FALSE(extract());
            EXPECT_FALSE(fs::exists(out / "data.bin"));
        }
    }
}
#endif

} // namespace
