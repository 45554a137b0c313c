#pragma once

#include <string_view>

// The strength of a password in whole bits: the bits of one character drawn
// from the character classes the password uses, times an effective length that
// discounts repeated characters and repeated steps between neighbours.
int EstimateEntropy(std::string_view password);
