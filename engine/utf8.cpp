#include "engine/utf8.h"

namespace {

struct ByteRange {
    unsigned char low, high;
};

// The second byte of each lead byte's sequences, the one place where
// overlong forms, surrogates and values above U+10FFFF show; every later
// byte is a plain continuation, 0x80 to 0xBF.
ByteRange SecondByte(unsigned char lead)
{
    switch (lead) {
    case 0xE0:
        return {0xA0, 0xBF};
    case 0xED:
        return {0x80, 0x9F};
    case 0xF0:
        return {0x90, 0xBF};
    case 0xF4:
        return {0x80, 0x8F};
    default:
        return {0x80, 0xBF};
    }
}

std::size_t SequenceLength(unsigned char lead)
{
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0; // a continuation byte, C0, C1 or F5 and up: never a lead
}

} // namespace

Utf8Sequence FirstSequence(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = SequenceLength(lead);
    if (length <= 1) {
        return {1, length == 1};
    }
    ByteRange allowed = SecondByte(lead);
    for (std::size_t at = 1; at < length; ++at) {
        if (at == text.size()) {
            return {at, false};
        }
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < allowed.low || byte > allowed.high) {
            return {at, false};
        }
        allowed = {0x80, 0xBF};
    }
    return {length, true};
}

bool IsUtf8(std::string_view text)
{
    while (!text.empty()) {
        const Utf8Sequence sequence = FirstSequence(text);
        if (!sequence.wellFormed) {
            return false;
        }
        text.remove_prefix(sequence.length);
    }
    return true;
}

bool HoldsControl(std::string_view text)
{
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        // U+0080 to U+009F are C2 80 to C2 9F; in well-formed text a C2 is
        // always a lead byte.
        const bool c1 = byte == 0xC2 && at + 1 < text.size() &&
                        static_cast<unsigned char>(text[at + 1]) <= 0x9F;
        if (byte < 0x20 || byte == 0x7F || c1) {
            return true;
        }
    }
    return false;
}
