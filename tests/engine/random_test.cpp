#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/md5.h"
#include "engine/random_source.h"
#include "engine/secure_random.h"
#include "engine/seed.h"
#include "platform/system_seed_material.h"
#include "tests/engine/bounded_sources.h"

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

std::vector<int> Draws(RandomSource& source, int count)
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
    // An empty update, null pointer included, changes nothing mid-block.
    Md5 withEmpty;
    withEmpty.Update("ab", 2);
    withEmpty.Update(nullptr, 0);
    withEmpty.Update("c", 1);
    EXPECT_EQ(Hex(withEmpty.Finish()), "900150983cd24fb0d6963f7d28e17f72");
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
    SecureRandomSource source(BudgetedSystemBytes());
    int highest = 0;
    int lowest = 32767;
    long long oddCount = 0;
    const int kDraws = 100000; // spans many block refills
    for (int i = 0; i < kDraws; ++i) {
        const int value = source.Below(32768);
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

// Bytes handed out one per request, so the requests count the bytes used.
struct FixedBytes {
    std::vector<std::uint8_t> bytes;
    std::size_t served = 0;

    RandomBytes Source()
    {
        return [this](void* buffer, std::size_t size) {
            if (served + size > bytes.size()) {
                return false;
            }
            std::memcpy(buffer, bytes.data() + served, size);
            served += size;
            return true;
        };
    }
};

// Which values given bytes yield: just enough bits per draw, the lowest bit
// of each byte first, values of the bound or above drawn again, and bits a
// draw leaves over kept for the next.
TEST(SecureRandomSource, TakesJustEnoughBitsAndRejectsValuesOutOfRange)
{
    const struct {
        std::vector<std::uint8_t> bytes;
        std::vector<std::pair<int, int>> draws; // bound, value
    } kCases[] = {
        {{0xB2}, {{2, 0}, {2, 1}, {2, 0}, {2, 0}, {2, 1}, {2, 1}, {2, 0}, {2, 1}}},
        {{0x3C, 0x0F}, {{16, 12}, {16, 3}, {16, 15}, {16, 0}}},
        {{0xFA, 0x79}, {{10, 9}, {10, 7}}},        // 10 and 15 rejected
        {{0x3F, 0x6B, 0x00}, {{26, 25}, {26, 0}}}, // 31 and 26 rejected
        {{0xBF, 0xDF, 0x03}, {{62, 61}}},          // 63 and 62 rejected
        {{0xB5}, {{2, 1}, {16, 10}, {8, 5}}},      // one byte, three draws
        {{}, {{1, 0}, {1, 0}}},                    // a single value takes no bit
    };
    for (const auto& c : kCases) {
        FixedBytes fixed{c.bytes};
        SecureRandomSource source(fixed.Source(), 1);
        for (const auto& [bound, value] : c.draws) {
            EXPECT_EQ(source.Below(bound), value) << "bound " << bound;
        }
        EXPECT_EQ(fixed.served, c.bytes.size()) << "first bound " << c.draws[0].first;
    }
}

// A block of eight bytes is taken six at once, then one by one: each byte
// comes out whole and in its place.
TEST(SecureRandomSource, TakesABlocksBytesInOrder)
{
    FixedBytes fixed{{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
    SecureRandomSource source(fixed.Source(), 8);
    std::vector<std::uint8_t> drawn;
    for (int i = 0; i < 8; ++i) {
        drawn.push_back(static_cast<std::uint8_t>(source.Below(256)));
    }
    EXPECT_EQ(drawn, fixed.bytes);
}

// Bytes are asked for a block at a time, and only once the block is used up.
TEST(SecureRandomSource, AsksForWholeBlocks)
{
    std::vector<std::size_t> requests;
    SecureRandomSource source(WithinBudget([&](void* buffer, std::size_t size) {
        requests.push_back(size);
        std::memset(buffer, 0, size);
        return true;
    }));
    for (std::size_t bit = 0; bit < 8 * SecureRandomSource::kBlockBytes; ++bit) {
        ASSERT_EQ(source.Below(2), 0);
    }
    EXPECT_EQ(requests, std::vector<std::size_t>{SecureRandomSource::kBlockBytes});
    source.Below(2);
    EXPECT_EQ(requests.size(), 2u);
}

// Uniform below each bound the composer uses: chi-square over a million
// draws each, against the value a sound source exceeds with a probability of
// about 1e-9 (Wilson and Hilferty's approximation).
TEST(SecureRandomSource, DrawsBelowEachBoundWithoutBias)
{
    SecureRandomSource source(BudgetedSystemBytes());
    const int kDraws = 1000000;
    for (const int bound : {2, 10, 16, 26, 62}) {
        std::vector<long long> counts(static_cast<std::size_t>(bound));
        for (int i = 0; i < kDraws; ++i) {
            const int value = source.Below(bound);
            ASSERT_TRUE(value >= 0 && value < bound) << value;
            ++counts[static_cast<std::size_t>(value)];
        }
        const double expected = static_cast<double>(kDraws) / bound;
        double chiSquare = 0;
        for (const long long count : counts) {
            chiSquare += (count - expected) * (count - expected) / expected;
        }
        const double freedom = bound - 1;
        const double spread = 2 / (9 * freedom);
        const double limit = freedom * std::pow(1 - spread + 6.0 * std::sqrt(spread), 3);
        EXPECT_LT(chiSquare, limit) << "bound " << bound;
    }
}

} // namespace
