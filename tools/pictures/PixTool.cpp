// pixtool: turns the project's drawings into BMP files, and form sources into the form resources
// the program embeds.
//   pixtool bmp DRAWING.pix OUT.bmp     writes the drawing's BMP file
//   pixtool form SOURCE.form OUT.form [DEPFILE]
//                                       writes the form resource of SOURCE, each `drawing "NAME"`
//                                       replaced by the encoding of that drawing (NAME relative to
//                                       SOURCE's folder); DEPFILE, when given, lists for the build
//                                       the files OUT was made from
// Errors name the file and, where there is one, the line: SOURCE.form:LINE: error: MESSAGE.
// Exit status: 0 done, 1 a bad or unreadable file (OUT is then left as it was), 2 a bad command
// line.
#include "tools/diagnostics/Diagnostics.h"
#include "tools/pictures/FormPictures.h"
#include "tools/pictures/PixelArt.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A file that cannot be read or written; the message names it.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "FILE:LINE: error: MESSAGE" for an error at a line of `file`.
FileError AtLine(const std::string& file, const vigrel::SourceError& error) {
    return FileError(vigrel::ErrorAt(file, error.Line(), error.Message()));
}

std::optional<std::string> TryRead(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in || fs::is_directory(path)) {
        return std::nullopt;
    }
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Read(const fs::path& path) {
    std::optional<std::string> text = TryRead(path);
    if (!text) {
        throw FileError(vigrel::ErrorAt(path.string(), "cannot read the file"));
    }
    return std::move(*text);
}

// Writes beside `path` and renames over it, so `path` holds the old content or the new.
void Write(const fs::path& path, const void* data, std::size_t size) {
    fs::path temporary = path;
    temporary += ".part";
    std::ofstream out(temporary, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    std::error_code error;
    if (out) {
        fs::rename(temporary, path, error);
    }
    if (!out || error) {
        fs::remove(temporary, error);
        throw FileError(vigrel::ErrorAt(path.string(), "cannot write the file"));
    }
}

// A path as a make-style dependency file writes it.
std::string DepPath(const fs::path& path) {
    std::string escaped;
    for (const char c : fs::absolute(path).lexically_normal().string()) {
        if (c == ' ' || c == '#' || c == '\\') {
            escaped += '\\';
        } else if (c == '$') {
            escaped += '$';
        }
        escaped += c;
    }
    return escaped;
}

void Bmp(const char* pixPath, const char* bmpPath) {
    const std::string text = Read(pixPath);
    std::vector<std::uint8_t> bytes;
    try {
        bytes = vigrel::EncodePixelArt(vigrel::ParsePixelArt(text));
    } catch (const vigrel::SourceError& error) {
        throw AtLine(pixPath, error);
    }
    Write(bmpPath, bytes.data(), bytes.size());
}

void Form(const char* sourcePath, const char* outPath, const char* depPath) {
    const fs::path folder = fs::path(sourcePath).parent_path();
    const std::string source = Read(sourcePath);
    vigrel::BuiltForm built;
    try {
        built = vigrel::BuildForm(source,
                                  [&](const std::string& name) { return TryRead(folder / name); });
    } catch (const vigrel::SourceError& error) {
        throw AtLine(sourcePath, error);
    }
    if (depPath != nullptr) {
        std::string rule = DepPath(outPath) + ":";
        rule += " " + DepPath(sourcePath);
        for (const std::string& name : built.drawings) {
            rule += " " + DepPath(folder / name);
        }
        rule += '\n';
        Write(depPath, rule.data(), rule.size());
    }
    Write(outPath, built.text.data(), built.text.size());
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const bool bmp = command == "bmp" && argc == 4;
    const bool form = command == "form" && (argc == 4 || argc == 5);
    if (!bmp && !form) {
        std::fprintf(stderr, "usage: pixtool bmp DRAWING.pix OUT.bmp\n"
                             "       pixtool form SOURCE.form OUT.form [DEPFILE]\n");
        return 2;
    }
    try {
        if (bmp) {
            Bmp(argv[2], argv[3]);
        } else {
            Form(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
        }
        return 0;
    } catch (const FileError& error) {
        std::fprintf(stderr, "%s\n", error.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pixtool: %s\n", error.what());
    }
    return 1;
}
