// Publications from arbitrary bytes. The reader must accept the text or give one error line
// that names a line of it. Every text an accepted statement carries must be able to cross as a
// host string (no NUL, which would end it early) and be Windows-1251 that comes back unchanged
// from its UTF-8; the pieces of a Print text must make the text again. For
// every VigrelCreate statement, the rewrite must find it with the same arguments, and writing
// those arguments back must give a text that reads as the same publication.
#include "tshost/Codepage.h"
#include "tshost/Publication.h"
#include "tshost/PublicationRewrite.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace vigrel::tshost;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool Same(const Statement& a, const Statement& b) {
    return a.kind == b.kind && a.line == b.line && a.args == b.args && a.number == b.number &&
           a.sendClose == b.sendClose;
}

template <class Check> void ForEachStatement(const Publication& publication, Check check) {
    for (const Statement& s : publication.main) {
        check(s);
    }
    for (const Subroutine& sub : publication.subroutines) {
        for (const Statement& s : sub.body) {
            check(s);
        }
    }
}

bool SamePublication(const Publication& a, const Publication& b) {
    if (a.main.size() != b.main.size() || a.subroutines.size() != b.subroutines.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.main.size(); ++i) {
        if (!Same(a.main[i], b.main[i])) {
            return false;
        }
    }
    for (std::size_t i = 0; i < a.subroutines.size(); ++i) {
        const Subroutine& x = a.subroutines[i];
        const Subroutine& y = b.subroutines[i];
        if (x.name != y.name || x.line != y.line || x.body.size() != y.body.size()) {
            return false;
        }
        for (std::size_t j = 0; j < x.body.size(); ++j) {
            if (!Same(x.body[j], y.body[j])) {
                return false;
            }
        }
    }
    return true;
}

void CheckError(const std::string& error, std::size_t lines) {
    constexpr std::string_view prefix = "f.pub:";
    Require(error.compare(0, prefix.size(), prefix) == 0);
    const std::size_t colon = error.find(':', prefix.size());
    Require(colon != std::string::npos && error.compare(colon, 9, ": error: ") == 0);
    const long line = std::strtol(error.c_str() + prefix.size(), nullptr, 10);
    Require(line >= 1 && static_cast<std::size_t>(line) <= lines);
    Require(error.find_first_of("\r\n") == std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto publication = ReadPublication(text, "f.pub", error);
    if (!publication) {
        CheckError(error, SplitLines(text).size());
        return 0;
    }
    ForEachStatement(*publication, [&](const Statement& s) {
        for (const std::string& arg : s.args) {
            Require(arg.find('\0') == std::string::npos);
            std::string back;
            Require(Utf8ToCp1251(Cp1251ToUtf8(arg), back) && back == arg);
        }
        if (s.kind == StatementKind::Print) {
            std::string joined;
            for (const TextPiece& piece : SplitVariables(s.args[0])) {
                joined += piece.variable ? "[" + std::string(piece.text) + "]" : piece.text;
            }
            Require(joined == s.args[0]);
        }
        if (s.kind != StatementKind::VigrelCreate) {
            return;
        }
        ActionLine action;
        Require(FindAction(text, s.line, action, error));
        Require(action.args == s.args);
        std::string rewritten;
        Require(ReplaceArguments(text, action, s.args, rewritten, error));
        const auto again = ReadPublication(rewritten, "f.pub", error);
        Require(again && SamePublication(*publication, *again));
    });
    return 0;
}
