#include "cli/passphrase_run.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/secure_random.h"

namespace {

class PassphraseRun {
public:
    PassphraseRun(const PassphraseRule& passphraseRule, DrawSource& source,
                  const ExclusionDictionary& words, std::size_t expected, FingerprintHash hash)
        : rule(passphraseRule), random(source), dictionary(words),
          hasWords(words.Table() && words.Table()->EntryCount() != 0), places(rule.count),
          made(rule.words.size(), rule.count, expected, hash)
    {
    }

    // A new passphrase, drawn until it is no excluded word and not made yet.
    const std::string& Next()
    {
        std::uint64_t key;
        do {
            std::uint64_t rank = 0;
            for (std::uint32_t& place : places) {
                place = DrawPlace(random, static_cast<std::uint32_t>(rule.words.size()));
                rank = rank * rule.words.size() + place;
            }
            rule.Compose(places.data(), text);
            key = made.Ranked() ? RunFingerprints::RankKey(rank) : made.Key(text);
        } while ((hasWords && dictionary.Contains(text)) || made.Contains(key));
        made.Insert(key);
        return text;
    }

private:
    const PassphraseRule& rule;
    DrawSource& random;
    const ExclusionDictionary& dictionary;
    const bool hasWords;
    std::vector<std::uint32_t> places;
    std::string text;
    RunFingerprints made;
};

} // namespace

RunResult MakePassphrases(const PassphraseRule& rule, int count, DrawSource& random,
                          const ExclusionDictionary& dictionary, PasswordWriter& writer,
                          std::uint64_t fitting, FingerprintHash hash)
{
    PassphraseRun run(rule, random, dictionary,
                      static_cast<std::size_t>(
                          std::min<std::uint64_t>(fitting, static_cast<std::uint64_t>(count))),
                      hash);
    RunResult result;
    for (; result.made < count; ++result.made) {
        if (static_cast<std::uint64_t>(result.made) >= fitting) {
            result.end = RunEnd::NoMoreFit;
            return result;
        }
        try {
            const std::string& text = run.Next();
            if (!(writer.NeedsRow() ? writer.Add(MakePasswordRow(text)) : writer.Add(text))) {
                result.end = RunEnd::OutputStopped;
                return result;
            }
        } catch (const RandomUnavailable&) {
            result.end = RunEnd::RandomFailed;
            return result;
        }
    }
    return result;
}
