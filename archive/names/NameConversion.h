// Conversion of entry names between the forms archives store and the form the
// system uses: ZIP tools write names in the DOS (OEM) character set with "/"
// separators, the system works in its ANSI character set with "\" separators.
// The character-set step is optional (the component's TranslateOemChar switch).
#pragma once
#include <string>

namespace kst {

// OEM to ANSI (when Translate), then every "/" to "\".
std::string doOemToChar(const std::string& Name, bool Translate);
// ANSI to OEM (when Translate), then every "\" to "/".
std::string DoCharToUnixOem(const std::string& Name, bool Translate);
// ANSI to OEM (when Translate), separators unchanged.
std::string doCharToOem(const std::string& Name, bool Translate);

// Every "/" to "\".
std::string UnixToDosFilename(std::string Name);
// Every "\" to "/".
std::string DOSToUnixFilename(std::string Name);

}  // namespace kst
