// Reading a publication from the file system: only a regular file is read, by its Unicode name.
#pragma once

#include <string>

namespace vigrel::tshost {

// Reads the whole file named by the UTF-8 `path` into `text`. Refuses, with the reason in
// `reason`, a name the system reserves for a device (nul, aux, com1, ...), a folder, anything
// else that is not a regular file, and a file that cannot be opened or read.
bool ReadPublicationFile(const std::string& path, std::string& text, std::string& reason);

} // namespace vigrel::tshost
