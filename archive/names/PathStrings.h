// Path helpers that work on the text of a path alone, never on the file system:
// directory tails, dropping the root of a path, UNC detection, the length of a
// name without its extension, and the clean-up of stored directory names. Paths
// use "\" as separator throughout the library.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace kst {

// Path with a trailing "\" added unless it ends in one; empty stays empty.
std::string AppendDirTail(std::string Path);
// Path with one trailing "\" removed, if it has one.
std::string RemoveDirTail(std::string Path);
// Path without its root: a leading "\" is dropped; else a leading "X:\"; else
// everything up to and including the first ":".
std::string MakeRelativeDir(const std::string& Path);
// True for paths longer than 2 characters that start with "\\".
bool IsUncPath(std::string_view Path);
// Length of Name before its last ".", or the whole length when it has none.
size_t ExtractFilenameOnly(std::string_view Name);
// Every "/" and every byte 255 becomes "\" (but never the second byte of a
// double-byte character: lead bytes 0x80-0x9F and 0xE0-0xFD), then spaces are
// trimmed at both ends.
std::string DecodeDir(std::string Dir);

}  // namespace kst
