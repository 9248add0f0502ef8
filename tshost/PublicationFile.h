// Reading a publication from the file system, and writing one back: only a regular file is read,
// by its Unicode name, and a rewrite replaces the whole file at once or not at all.
#pragma once

#include <string>
#include <string_view>

namespace vigrel::tshost {

// Reads the whole file named by the UTF-8 `path` into `text`. Refuses, with the reason in
// `reason`, a name the system reserves for a device (nul, aux, com1, ...), a folder, anything
// else that is not a regular file, and a file that cannot be opened or read.
bool ReadPublicationFile(const std::string& path, std::string& text, std::string& reason);

// Whether the existing file named by `path` may be rewritten: false, with the reason, for a
// read-only file or one that cannot be opened for writing.
bool CanWritePublicationFile(const std::string& path, std::string& reason);

// Replaces the file named by `path` with `text`: writes a temporary file in the same folder, then
// renames it over the original, so the file holds either the old text or the new one, whatever
// happens. False, with the reason, and the original untouched, when that cannot be done.
bool WritePublicationFile(const std::string& path, std::string_view text, std::string& reason);

} // namespace vigrel::tshost
