# Writes the lines of a word list as a C++ source, so that sorvane-cli carries
# the list and needs no file at run time, on every system it is built for. The
# lines stay as they are, dice numbers and all: the program reads them with the
# rules of a list file. Only the name given reaches the source, no path of the
# machine and nothing of the clock, so the same list always gives the same file.
#   cmake -DLIST=<word list> -DNAME=<name in the comment> -DOUTPUT=<source>
#         -P embed_words.cmake
file(READ "${LIST}" text)
# Printable ASCII and line ends only: nothing a compiler might read in another
# character set, and a list that holds more is a mistake to see at once.
if(text MATCHES "[^\t\r\n -~]")
  message(FATAL_ERROR "${NAME} holds a character beyond printable ASCII")
endif()
string(REGEX REPLACE "\n$" "" text "${text}")
string(REPLACE "\\" "\\\\" text "${text}")
string(REPLACE "\"" "\\\"" text "${text}")
string(REPLACE "?" "\\?" text "${text}")
string(REPLACE "\t" "\\t" text "${text}")
string(REPLACE "\r" "\\r" text "${text}")
# One literal a line: a compiler may limit the length of one literal, never the
# number of them.
string(REPLACE "\n" "\",\n    \"" text "${text}")
set(source "// Made by cli/embed_words.cmake from ${NAME}: change the list, not this file.
#include \"cli/built_in_words.h\"

namespace {

constexpr std::string_view kLines[] = {
    \"${text}\",
};

} // namespace

std::span<const std::string_view> BuiltInWordListLines()
{
    return kLines;
}
")
file(WRITE "${OUTPUT}" "${source}")
