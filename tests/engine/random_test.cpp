#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/md5.h"
#include "engine/random_source.h"
#include "engine/secure_random.h"
#include "engine/seed.h"

namespace {

std::string Hex(const Md5::Digest& digest)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const auto byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

std::vector<int> Draws(DrawSource& source, int count)
{
    std::vector<int> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(source.Next());
    }
    return values;
}

TEST(RandomSource, FollowsTheRuntimeLibraryRule)
{
    RandomSource fresh;
    EXPECT_EQ(Draws(fresh, 3), (std::vector<int>{41, 18467, 6334}));

    RandomSource seeded;
    seeded.Seed(1);
    EXPECT_EQ(Draws(seeded, 3), (std::vector<int>{41, 18467, 6334}));

    seeded.Seed(0);
    EXPECT_EQ(seeded.Next(), 38);

    // The state wraps modulo 2^32 and only bits 16 to 30 come out.
    seeded.Seed(0xFFFFFFFFu);
    const int value = seeded.Next();
    EXPECT_EQ(value, static_cast<int>(((0xFFFFFFFFu * 214013u + 2531011u) >> 16) & 0x7FFF));
}

TEST(RandomSource, EachThreadKeepsItsOwnState)
{
    ThreadRandomSource().Seed(12345);
    ThreadRandomSource().Next();

    std::vector<int> other;
    std::thread([&] {
        other = Draws(ThreadRandomSource(), 3); // never seeded: starts at 1
        ThreadRandomSource().Seed(999);
        ThreadRandomSource().Next();
    }).join();
    EXPECT_EQ(other, (std::vector<int>{41, 18467, 6334}));

    RandomSource expected;
    expected.Seed(12345);
    expected.Next();
    EXPECT_EQ(ThreadRandomSource().Next(), expected.Next());
}

TEST(Md5, MatchesTheReferenceVectors)
{
    const struct {
        const char* message;
        const char* digest;
    } kVectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
         "0",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& vector : kVectors) {
        Md5 whole;
        whole.Update(vector.message, std::strlen(vector.message));
        EXPECT_EQ(Hex(whole.Finish()), vector.digest) << vector.message;

        // Fed a byte at a time the digest must not change.
        Md5 pieces;
        for (const char* p = vector.message; *p; ++p) {
            pieces.Update(p, 1);
        }
        EXPECT_EQ(Hex(pieces.Finish()), vector.digest) << vector.message;
    }
}

// Material whose every answer the test chooses, recording what was asked.
class FakeMaterial : public SeedMaterial {
public:
    std::uint32_t drives = 0;
    std::string removable;  // drive letters that answer "removable"
    std::string unreadable; // removable drives without a medium
    bool cursorWorks = true;
    std::vector<std::string> typeQueries;

    std::uint32_t LogicalDrives() override { return drives; }
    unsigned DriveType(const char* rootPath) override
    {
        typeQueries.push_back(rootPath);
        return removable.find(rootPath[0]) != std::string::npos ? kRemovableDrive : 3;
    }
    bool VolumeInformation(const char* rootPath, char* volumeName, char* fileSystemName,
                           std::uint32_t& serialNumber) override
    {
        if (unreadable.find(rootPath[0]) != std::string::npos) {
            return false;
        }
        std::strcpy(volumeName, "SORVANE");
        std::strcpy(fileSystemName, "FAT32");
        serialNumber = 0xDEADBEEF;
        return true;
    }
    std::uint32_t TickCount() override { return 1000; }
    std::uint32_t ProcessId() override { return 42; }
    std::uint32_t ThreadId() override { return 7; }
    bool CursorPosition(std::int32_t& x, std::int32_t& y) override
    {
        x = 640; // must be ignored when the call reports failure
        y = -3;
        return cursorWorks;
    }
};

// Expected seeds were worked out independently of this code, from the digest
// of the same bytes (hashlib), as the sum of the digest's 16 bytes.
TEST(SeedRandomSource, DigestsTwentyBytesWithoutRemovableDrives)
{
    FakeMaterial material;
    material.cursorWorks = false;
    material.drives = (1u << 2) | (1u << 3); // C: and D:, both fixed disks
    EXPECT_EQ(ComputeSeed(material), 1942u); // tick, pid, tid, 0, 0
    EXPECT_EQ(material.typeQueries, (std::vector<std::string>{"C:\\", "D:\\"}));
}

TEST(SeedRandomSource, AddsEachReadableRemovableDrive)
{
    FakeMaterial material;
    material.cursorWorks = false;
    // A: and B: are never examined; E: has no medium; F: is read.
    material.drives = 0b111011;
    material.removable = "ABEF";
    material.unreadable = "E";
    EXPECT_EQ(ComputeSeed(material), 1495u); // 260 + 260 + 4 bytes, then the 20
    EXPECT_EQ(material.typeQueries, (std::vector<std::string>{"D:\\", "E:\\", "F:\\"}));
}

TEST(SeedRandomSource, SeedsOnlyTheCallingThread)
{
    FakeMaterial material;
    ThreadRandomSource().Seed(5);
    std::thread([&] { SeedRandomSource(material); }).join();
    RandomSource expected;
    expected.Seed(5);
    EXPECT_EQ(ThreadRandomSource().Next(), expected.Next());

    SeedRandomSource(material);
    expected.Seed(ComputeSeed(material));
    EXPECT_EQ(ThreadRandomSource().Next(), expected.Next());
    EXPECT_LE(ComputeSeed(SystemSeedMaterial()), 16u * 255u);
}

TEST(SecureRandomSource, DeliversFifteenBitsAcrossRefills)
{
    SecureRandomSource source;
    int highest = 0;
    int lowest = 32767;
    long long oddCount = 0;
    const int kDraws = 100000; // spans many buffer refills
    for (int i = 0; i < kDraws; ++i) {
        const int value = source.Next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
        highest = std::max(highest, value);
        lowest = std::min(lowest, value);
        oddCount += value & 1;
    }
    // Losing the top bit or a byte would cap the values far lower.
    EXPECT_GT(highest, 32700);
    EXPECT_LT(lowest, 100);
    EXPECT_NEAR(static_cast<double>(oddCount) / kDraws, 0.5, 0.02);
}

} // namespace
