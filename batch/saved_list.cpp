#include "batch/saved_list.h"

void AppendSavedListLine(std::string& text, std::string_view password, std::string_view entropy,
                         std::string_view phonetics)
{
    text.append(password);
    text.push_back('\t');
    text.append(entropy);
    text.push_back('\t');
    text.append(phonetics);
    text.append(kSavedListLineEnd);
}
