// What the operating system can tell about a file beyond its bytes: the string
// resources of an executable opened as data (self-extracting archives record
// where their archive starts there), and the shell's icon index and type
// description of a file name. Windows asks the system; Linux has neither
// resources nor a shell to ask, so it answers with nothing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Opens the executable at Path as a data-only module and reads the string
// resources Ids in order, each cut to at most MaxChars characters; a missing
// resource gives an empty string. Returns an empty list when the file cannot be
// loaded as a module (always on Linux).
std::vector<std::string> LoadStringResources(const std::string& Path, const std::vector<uint32_t>& Ids,
                                             size_t MaxChars);

// The shell's system icon index for a file name (the file need not exist); 0
// when the shell has none.
int ShellIconIndex(const std::string& Name);
// The shell's type description of a file name ("Text Document"); empty when
// the shell has none.
std::string ShellTypeName(const std::string& Name);

}  // namespace platform
