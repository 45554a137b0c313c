#include "cli/passphrase_run.h"

#include <algorithm>
#include <string>
#include <vector>

#include "cli/spelling.h"
#include "engine/secure_random.h"

namespace {

constexpr std::string_view kBreak = " - ";

// Whether the separator is only spaces, which the breaks of a spelling show
// well enough: a spelling names any other.
bool OnlySpaces(std::string_view separator)
{
    return separator.find_first_not_of(' ') == std::string_view::npos;
}

class PassphraseRun {
public:
    PassphraseRun(const PassphraseRule& passphraseRule, DrawSource& source,
                  const ExclusionDictionary& words, std::size_t expected, FingerprintHash hash)
        : rule(passphraseRule), random(source), dictionary(words),
          hasWords(words.Table() && words.Table()->EntryCount() != 0), places(rule.count),
          namedSeparator(OnlySpaces(rule.separator) ? std::string() : CliSpelling(rule.separator)),
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

    // The last passphrase spelled by its words, not letter by letter: the
    // words as the list has them (capitalised when asked), and the
    // separator's characters named between them unless it is only spaces.
    const std::string& Spelling()
    {
        spelling.clear();
        for (std::size_t i = 0; i < places.size(); ++i) {
            if (i > 0 && !namedSeparator.empty()) {
                spelling.append(kBreak);
                spelling.append(namedSeparator);
            }
            spelling.append(i == 0 ? std::string_view() : kBreak);
            spelling.append(rule.words[places[i]]);
        }
        return spelling;
    }

private:
    const PassphraseRule& rule;
    DrawSource& random;
    const ExclusionDictionary& dictionary;
    const bool hasWords;
    std::vector<std::uint32_t> places;
    const std::string namedSeparator;
    std::string text;
    std::string spelling;
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
            if (!(writer.NeedsSpelling() ? writer.Add(text, run.Spelling()) : writer.Add(text))) {
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
