#pragma once

#include <string>
#include <string_view>

// Spells a password out one word per character: "aB3" becomes
// "air - BIT - three". Capitals are marked by writing their word in capitals.
std::string PhoneticSpelling(std::string_view password);
