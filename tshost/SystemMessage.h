// The system's own text for an error code, for messages that show the number and its meaning.
#pragma once

#include <cstdint>
#include <string>

namespace vigrel::tshost {

// "error N: the system's message" in UTF-8, the message in English where the system has it
// (the rest of tshost's messages are English), else in the user's language.
std::string SystemError(std::uint32_t code);

} // namespace vigrel::tshost
