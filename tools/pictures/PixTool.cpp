// pixtool: turns the project's drawings into BMP files and keeps form resources true to them.
//   pixtool bmp DRAWING.pix OUT.bmp [DEPTH]
//                                        writes the BMP file and prints its bytes as the binary
//                                        value of a form resource, laid out for a property of an
//                                        object DEPTH levels below the form (1, a child of the
//                                        form, unless given)
//   pixtool check FORM Object.Property DRAWING.pix
//                                        fails unless that property holds the drawing's BMP bytes
// Exit status: 0 done, 1 a mismatch or a bad file, 2 a bad command line.
#include "tools/pictures/PictureCheck.h"
#include "tools/pictures/PixelArt.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A file that cannot be read or written; the message names it.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw FileError("cannot read " + std::string(path));
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Bmp(const char* pixPath, const char* bmpPath, int depth) {
    const std::vector<std::uint8_t> bytes =
        vigrel::EncodePixelArt(vigrel::ParsePixelArt(ReadFile(pixPath)));
    std::ofstream out(bmpPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw FileError("cannot write " + std::string(bmpPath));
    }
    vigrel::FormValue value;
    value.kind = vigrel::FormValue::Kind::Binary;
    value.bytes = bytes;
    std::printf("%s\n", vigrel::WriteFormValue(value, depth).c_str());
    return 0;
}

int Check(const char* formPath, const char* path, const char* pixPath) {
    vigrel::CheckFormPicture(ReadFile(formPath), path, ReadFile(pixPath));
    std::printf("%s: %s matches %s\n", formPath, path, pixPath);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const bool bmp = command == "bmp" && (argc == 4 || argc == 5);
    const bool check = command == "check" && argc == 5;
    const std::string depthText = bmp && argc == 5 ? argv[4] : "1";
    const bool goodDepth = depthText.size() == 1 && depthText[0] >= '0' && depthText[0] <= '9';
    if ((!bmp && !check) || !goodDepth) {
        std::fprintf(stderr, "usage: pixtool bmp DRAWING.pix OUT.bmp [DEPTH 0-9]\n"
                             "       pixtool check FORM Object.Property DRAWING.pix\n");
        return 2;
    }
    // Each error names the file it is about.
    const char* drawing = bmp ? argv[2] : argv[4];
    const char* other = bmp ? argv[3] : argv[2];
    try {
        return bmp ? Bmp(argv[2], argv[3], depthText[0] - '0') : Check(argv[2], argv[3], argv[4]);
    } catch (const FileError& error) {
        std::fprintf(stderr, "pixtool: %s\n", error.what());
    } catch (const vigrel::PixelArtError& error) {
        std::fprintf(stderr, "%s: %s\n", drawing, error.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", other, error.what());
    }
    return 1;
}
