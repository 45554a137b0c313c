#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <sstream>
#include <string>

#include "cli/password_run.h"
#include "engine/secure_random.h"
#include "platform/system_random.h"

namespace {

class StringSink final : public ByteSink {
public:
    bool Write(std::string_view bytes) override
    {
        text.append(bytes);
        return true;
    }
    std::string text;
};

std::uint64_t EveryPasswordAlike(std::string_view)
{
    return 1;
}

// 4096 fingerprints, all with the same place in the table.
std::uint64_t FewAndCrowded(std::string_view password)
{
    return PasswordHash(password) % 4096 + 1;
}

// The system's bytes up to a budget, then a failure: a run that would draw
// for ever ends as failed instead.
RandomBytes Budget(std::size_t bytes)
{
    return [bytes](void* buffer, std::size_t size) mutable {
        if (size > bytes) {
            return false;
        }
        bytes -= size;
        return SystemRandomBytes(buffer, size);
    };
}

// Ranks key the passwords of spaces that fit 64 bits, so no hash can hide the
// last ones; beyond, hash collisions cost redraws and never a repeat.
TEST(MakePasswords, KeepsEveryPasswordDifferentWhenFingerprintsCollide)
{
    const struct {
        const char* name;
        CharacterType type;
        bool exclusions;
        int length, count;
        FingerprintHash hash;
        int made;
        RunEnd end;
    } cases[] = {
        {"all 1000 of a space", CharacterType::OnlyNumbers, false, 3, 1000, EveryPasswordAlike,
         1000, RunEnd::Complete},
        {"all 336, then none", CharacterType::OnlyNumbers, true, 3, 400, EveryPasswordAlike, 336,
         RunEnd::NoMoreFit},
        {"hashed, crowded", CharacterType::LettersAndNumbers, true, 16, 2000, FewAndCrowded, 2000,
         RunEnd::Complete},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CliRequest request;
        request.options.characterType = c.type;
        request.options.excludeSimilar = request.options.excludeDuplicate = c.exclusions;
        request.options.length = c.length;
        request.count = c.count;
        StringSink sink;
        PasswordWriter writer(OutputFormat::Plain, request.options, sink);
        SecureRandomSource random(Budget(std::size_t{1} << 22), 4096);
        const RunResult result =
            MakePasswords(request, random, ExclusionDictionary(), writer, c.hash);
        EXPECT_EQ(result.made, c.made);
        EXPECT_EQ(result.end, c.end);
        std::istringstream lines(sink.text);
        std::set<std::string> passwords;
        std::set<std::uint64_t> fingerprints;
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back(); // the line end of Windows
            }
            passwords.insert(line);
            fingerprints.insert(c.hash(line));
        }
        EXPECT_EQ(passwords.size(), static_cast<std::size_t>(c.made));
        if (c.hash == FewAndCrowded) {
            EXPECT_EQ(fingerprints.size(), passwords.size());
        }
    }
}

} // namespace
