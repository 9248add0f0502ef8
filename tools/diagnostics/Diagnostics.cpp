#include "tools/diagnostics/Diagnostics.h"

namespace vigrel {

std::string ErrorAt(std::string_view where, int line, std::string_view message) {
    std::string text(where);
    if (line != 0) {
        text += ":" + std::to_string(line);
    }
    return text + ": error: " + std::string(message);
}

std::string ErrorAt(std::string_view where, std::string_view message) {
    return ErrorAt(where, 0, message);
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace vigrel
