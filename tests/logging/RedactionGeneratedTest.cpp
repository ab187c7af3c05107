// Masking of sensitive fields on generated texts: secrets written with characters that appear nowhere
// else are placed in every position the rules cover; none of them may survive, and everything else must.

#include "logging/Redaction.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

using Corvani::Nuv::Logging::RedactSensitiveFields;
using Corvani::Nuv::Logging::SensitiveKey;
using Corvani::Nuv::Logging::SensitiveKeys;
using Kind = Corvani::Nuv::Logging::SensitiveValueKind;

namespace {

constexpr std::wstring_view kSecretAlphabet = L"0123456789#%&*+~@!?";
constexpr std::wstring_view kPlainAlphabet = L"abcdefghijklmnopqrstuvw ,.;=()<>|";
const std::wstring kBlanks[] = {L"", L" ", L"\t", L"\r\n", L" \n\t "};

// A generated text and what the masking must make of it.
struct Sample {
    std::wstring text;
    std::wstring expected;
    void Append(const std::wstring& same) { Append(same, same); }
    void Append(const std::wstring& original, const std::wstring& masked) {
        text += original;
        expected += masked;
    }
};

class Generator {
public:
    explicit Generator(unsigned seed) : _random(seed) {}

    size_t Below(size_t bound) { return std::uniform_int_distribution<size_t>(0, bound - 1)(_random); }
    bool OneIn(size_t n) { return Below(n) == 0; }

    std::wstring Blanks() { return kBlanks[Below(std::size(kBlanks))]; }

    std::wstring Chars(std::wstring_view alphabet, size_t minimum, size_t maximum) {
        std::wstring text;
        for (size_t n = minimum + Below(maximum - minimum + 1); n > 0; --n)
            text += alphabet[Below(alphabet.size())];
        return text;
    }

    // The inside of a string: escapes, brackets and braces mixed into characters of the alphabet, but no
    // unescaped quote.
    std::wstring StringBody(std::wstring_view alphabet, size_t minimum) {
        static const std::wstring pieces[] = {L"\\\"", L"\\\\", L"[", L"]", L"{", L"}", L" ", L"\\n", L":"};
        std::wstring body;
        for (size_t n = minimum + Below(6); n > 0; --n)
            body += OneIn(3) ? pieces[Below(std::size(pieces))] : Chars(alphabet, 1, 3);
        return body;
    }

    std::wstring SecretString() { return L"\"" + StringBody(kSecretAlphabet, 1) + L"\""; }

    std::wstring SecretElement(int depth) {
        switch (depth > 2 ? Below(2) : Below(5)) {
        case 0:
            return Chars(L"0123456789", 1, 4);
        case 1:
            return SecretString();
        case 2:
            return SecretArray(depth + 1);
        case 3:
            return SecretObject(depth + 1, 1);
        default:
            return L"[]";
        }
    }

    std::wstring SecretArray(int depth) {
        std::wstring array = L"[" + Blanks();
        for (size_t n = 1 + Below(3); n > 0; --n)
            array += SecretElement(depth) + (n > 1 ? L"," + Blanks() : Blanks());
        return array + L"]";
    }

    std::wstring SecretObject(int depth, size_t minimumMembers) {
        std::wstring object = L"{";
        for (size_t n = minimumMembers + Below(3); n > 0; --n) {
            // Member names are secrets too, or sensitive keys themselves.
            const std::wstring name = OneIn(3)
                                          ? std::wstring(SensitiveKeys()[Below(SensitiveKeys().size())].text)
                                          : L"\"" + Chars(kSecretAlphabet, 1, 4) + L"\"";
            object += name + Blanks() + L":" + Blanks() + SecretElement(depth) + (n > 1 ? L"," : L"");
        }
        return object + L"}";
    }

    // A complete value of the key's kind; empty ones are produced now and then.
    std::wstring Value(Kind kind) {
        const bool empty = OneIn(8);
        if (kind == Kind::Array)
            return empty ? L"[]" : SecretArray(0);
        if (kind == Kind::Object)
            return empty ? L"{}" : SecretObject(0, 1);
        return empty ? L"\"\"" : SecretString();
    }

    const SensitiveKey& Key() { return SensitiveKeys()[Below(SensitiveKeys().size())]; }

    std::mt19937 _random;
};

wchar_t Opening(Kind kind) {
    return kind == Kind::Array ? L'[' : kind == Kind::Object ? L'{' : L'"';
}

bool IsEmptyKeptAsItIs(const std::wstring& value) {
    return value == L"[]" || value == L"\"\"";
}

// Key, blanks, colon, blanks and value; the value masked to its delimiters and X.
void AppendSensitivePair(Sample& sample, const SensitiveKey& key, const std::wstring& before,
                         const std::wstring& after, const std::wstring& value) {
    const std::wstring head = std::wstring(key.text) + before + L":" + after;
    const std::wstring masked =
        IsEmptyKeptAsItIs(value) ? value : std::wstring(1, value.front()) + L"X" + value.back();
    sample.Append(head + value, head + masked);
}

// The same with the value's closing character missing: masked from its opening character to the end.
void AppendUnclosedPair(Sample& sample, const SensitiveKey& key, const std::wstring& before,
                        const std::wstring& after, const std::wstring& value) {
    const std::wstring head = std::wstring(key.text) + before + L":" + after;
    sample.Append(head + value.substr(0, value.size() - 1), head + Opening(key.kind) + L"X");
}

// A key followed by something other than its kind of value, or a plain key name: left as it is.
std::wstring Decoy(Generator& generator) {
    const SensitiveKey& key = generator.Key();
    const std::wstring plainString = L"\"" + generator.StringBody(kPlainAlphabet, 0) + L"\"";
    switch (generator.Below(5)) {
    case 0:
        return std::wstring(key.text) + generator.Blanks() + L":" + generator.Blanks() +
               (key.kind == Kind::String ? L"[ab]" : plainString);
    case 1:
        return std::wstring(key.text) + generator.Blanks() + L"," + plainString;
    case 2:
        return L"[" + std::wstring(key.text) + L"]";
    case 3: // an escaped key inside a plain string is no key
        return L"\"note\":\"\\" + std::wstring(key.text.substr(0, key.text.size() - 1)) +
               L"\\\":\\\"abc\\\"\"";
    default:
        return L"\"note\"" + generator.Blanks() + L":" + generator.Blanks() + plainString;
    }
}

Sample Generate(Generator& generator) {
    Sample sample;
    for (size_t n = 1 + generator.Below(6); n > 0; --n) {
        sample.Append(generator.Chars(kPlainAlphabet, 0, 4));
        if (generator.OneIn(3)) {
            sample.Append(Decoy(generator));
        } else {
            const SensitiveKey& key = generator.Key();
            AppendSensitivePair(sample, key, generator.Blanks(), generator.Blanks(),
                                generator.Value(key.kind));
        }
    }
    if (generator.OneIn(4)) {
        const SensitiveKey& key = generator.Key();
        AppendUnclosedPair(sample, key, generator.Blanks(), generator.Blanks(), generator.Value(key.kind));
    }
    return sample;
}

void ExpectMasked(const Sample& sample) {
    std::wstring text = sample.text;
    RedactSensitiveFields(text);
    ASSERT_EQ(sample.expected, text) << "input: " << testing::PrintToString(sample.text);
    ASSERT_EQ(std::wstring::npos, text.find_first_of(kSecretAlphabet)) << testing::PrintToString(text);
}

TEST(RedactionGenerated, EveryKeyWithEveryBlankAndValueShape) {
    Generator generator(7);
    for (const SensitiveKey& key : SensitiveKeys())
        for (const std::wstring& before : kBlanks)
            for (const std::wstring& after : kBlanks) {
                const std::wstring value = generator.Value(key.kind);
                Sample sample;
                sample.Append(L"{\"a\":true, ");
                AppendSensitivePair(sample, key, before, after, value);
                sample.Append(L", ");
                AppendSensitivePair(sample, key, before, after, value);
                sample.Append(L"} ");
                AppendUnclosedPair(sample, key, before, after, generator.Value(key.kind));
                ExpectMasked(sample);
            }
}

TEST(RedactionGenerated, RandomTextsKeepNoSecret) {
    Generator generator(20160307);
    for (int round = 0; round < 5000; ++round) {
        ExpectMasked(Generate(generator));
        if (HasFatalFailure())
            return;
    }
}

} // namespace
