#include "tools/pictures/PixelArt.h"
#include "tools/pictures/BmpEncoder.h"

#include <charconv>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace vigrel {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && IsBlank(line[at])) {
            ++at;
        }
        const std::size_t start = at;
        while (at < line.size() && !IsBlank(line[at])) {
            ++at;
        }
        if (at > start) {
            words.push_back(line.substr(start, at - start));
        }
    }
    return words;
}

// The next code point of strict UTF-8 at `at` (no overlong forms, surrogates or values above
// U+10FFFF), advancing `at`; nothing when the bytes there are not UTF-8.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++at;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - at < static_cast<std::size_t>(length)) {
        return std::nullopt;
    }
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(at + static_cast<std::size_t>(i));
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        value = value << 6 | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    at += static_cast<std::size_t>(length);
    return value;
}

// A legend character: one code point that is neither blank nor a control character.
bool IsPrintable(char32_t c) {
    return c > 0x20 && c != 0x7F && (c < 0x80 || c > 0x9F);
}

class Parser {
public:
    explicit Parser(std::string_view text) {
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            lines_.push_back(line);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        }
    }

    PixelArt Parse() {
        PixelArt art;
        std::vector<std::string_view> words = Header("size");
        if (words.size() != 3) {
            Fail("expected \"size WIDTH HEIGHT\"");
        }
        art.width = Number(words[1], "width", 1, MaxPixelArtSide);
        art.height = Number(words[2], "height", 1, MaxPixelArtSide);
        words = Header("depth");
        if (words.size() != 2) {
            Fail("expected \"depth 8\" or \"depth 24\"");
        }
        art.depth = Number(words[1], "depth", 8, 24);
        if (art.depth != 8 && art.depth != 24) {
            Fail("depth " + std::string(words[1]) + ": only 8 and 24 are drawn");
        }
        std::map<char32_t, std::uint32_t> legend;
        while (true) {
            words = Header("colour");
            if (words.size() == 1 && words[0] == "pixels") {
                break;
            }
            if (words[0] != "colour") {
                Fail("expected \"colour CHARACTER RRGGBB\" or \"pixels\"");
            }
            if (words.size() < 3 || (words.size() > 3 && words[3].substr(0, 2) != "//")) {
                Fail("expected \"colour CHARACTER RRGGBB\", optionally followed by a // comment");
            }
            std::size_t at = 0;
            const std::optional<char32_t> c = NextCodePoint(words[1], at);
            if (!c || at != words[1].size() || !IsPrintable(*c)) {
                Fail("\"" + std::string(words[1]) + "\" is not a single printable character");
            }
            if (legend.contains(*c)) {
                Fail("the character " + std::string(words[1]) + " is given twice");
            }
            if (art.depth == 8 && art.legend.size() == 256) {
                Fail("more than 256 colours at depth 8");
            }
            legend.emplace(*c, static_cast<std::uint32_t>(art.legend.size()));
            art.legend.push_back(Colour(words[2]));
        }
        if (art.legend.empty()) {
            Fail("no colour before \"pixels\"");
        }
        Rows(art, legend);
        return art;
    }

private:
    // The words of the next line that is neither empty nor a // comment; a missing line is an
    // error expecting `what`.
    std::vector<std::string_view> Header(std::string_view what) {
        while (next_ < lines_.size()) {
            line_ = static_cast<int>(++next_);
            std::vector<std::string_view> words = Words(lines_[next_ - 1]);
            if (!words.empty() && words[0].substr(0, 2) != "//") {
                return words;
            }
        }
        line_ = static_cast<int>(lines_.size()) + 1;
        Fail("the text ends where \"" + std::string(what) + "\" was expected");
    }

    void Rows(PixelArt& art, const std::map<char32_t, std::uint32_t>& legend) {
        art.indices.reserve(static_cast<std::size_t>(art.width) * art.height);
        for (int y = 0; y < art.height; ++y) {
            if (next_ == lines_.size()) {
                line_ = static_cast<int>(lines_.size()) + 1;
                Fail(std::to_string(y) + " rows, " + std::to_string(art.height) + " expected");
            }
            line_ = static_cast<int>(++next_);
            const std::string_view row = lines_[next_ - 1];
            std::size_t at = 0;
            int x = 0;
            while (at < row.size()) {
                const std::size_t start = at;
                const std::optional<char32_t> c = NextCodePoint(row, at);
                if (!c) {
                    Fail("not UTF-8 at byte " + std::to_string(start + 1) + " of the row");
                }
                if (x == art.width) {
                    Fail("the row is longer than " + std::to_string(art.width) + " pixels");
                }
                const auto entry = legend.find(*c);
                if (entry == legend.end()) {
                    Fail("character " + std::string(row.substr(start, at - start)) + " at pixel " +
                         std::to_string(x + 1) + " is not in the legend");
                }
                art.indices.push_back(entry->second);
                ++x;
            }
            if (x != art.width) {
                Fail("the row has " + std::to_string(x) + " pixels, " + std::to_string(art.width) +
                     " expected");
            }
        }
        for (; next_ < lines_.size(); ++next_) {
            if (!lines_[next_].empty()) {
                line_ = static_cast<int>(next_) + 1;
                Fail("more than " + std::to_string(art.height) + " rows");
            }
        }
    }

    int Number(std::string_view word, std::string_view what, int minimum, int maximum) {
        int value = 0;
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (word.empty() || word[0] == '-' || error != std::errc() ||
            end != word.data() + word.size() || value < minimum || value > maximum) {
            Fail("bad " + std::string(what) + " \"" + std::string(word) + "\": expected " +
                 std::to_string(minimum) + " to " + std::to_string(maximum));
        }
        return value;
    }

    Rgb Colour(std::string_view word) {
        std::uint32_t value = 0;
        const auto [end, error] =
            std::from_chars(word.data(), word.data() + word.size(), value, 16);
        if (word.size() != 6 || error != std::errc() || end != word.data() + word.size()) {
            Fail("bad colour \"" + std::string(word) + "\": expected six hex digits RRGGBB");
        }
        return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                static_cast<std::uint8_t>(value)};
    }

    [[noreturn]] void Fail(const std::string& message) const { throw SourceError(line_, message); }

    std::vector<std::string_view> lines_;
    std::size_t next_ = 0; // lines_ read so far
    int line_ = 0;         // the line being read
};

} // namespace

RgbImage PixelArt::Image() const {
    RgbImage image{width, height, {}};
    image.pixels.reserve(indices.size());
    for (const std::uint32_t index : indices) {
        image.pixels.push_back(legend.at(index));
    }
    return image;
}

PixelArt ParsePixelArt(std::string_view text) {
    return Parser(text).Parse();
}

std::vector<std::uint8_t> EncodePixelArt(const PixelArt& art) {
    if (art.depth == 24) {
        return EncodeBmp24(art.Image());
    }
    if (art.depth != 8) {
        throw std::invalid_argument("no encoding of depth " + std::to_string(art.depth));
    }
    std::vector<std::uint8_t> indices;
    indices.reserve(art.indices.size());
    for (const std::uint32_t index : art.indices) {
        if (index > 255) {
            throw std::invalid_argument("palette index " + std::to_string(index) + " at depth 8");
        }
        indices.push_back(static_cast<std::uint8_t>(index));
    }
    return EncodeBmp8(art.width, art.height, art.legend, indices);
}

} // namespace vigrel
