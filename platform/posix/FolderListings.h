// The case-blind name lookup behind the Linux path layer, and the memory of
// folder listings that keeps it cheap. Windows names ignore case, so a name that
// does not exist as written is looked for in its folder without regard to case.
// Listing a folder for every such name makes writing n new files into one folder
// cost n listings of a growing folder (quadratic); while a PathLookupScope is
// alive (an extraction run), the listing of a folder is therefore read once and
// kept, and the program's own creations, renames and deletions keep it up to
// date; a folder the program creates starts with an empty listing. Folders are
// told apart by device and inode, so every spelling of a path finds the same
// listing. Outside a scope every lookup lists the folder afresh.
#pragma once
#include <string>

namespace platform::posix {

// The name in Directory ("" for the current folder) that equals Name without
// regard to case, or empty when there is none (or the folder cannot be read).
std::string FindIgnoringCase(const std::string& Directory, const std::string& Name);

// What the last component of a path being resolved must be: a case-blind
// match of another kind is no match (a file "LICENSE" is not the folder
// "license/" about to be made). Components before the last are always folders.
enum class PathKind { Any, File, Folder };
// NativePath with the last component's kind given.
std::string NativePathOfKind(const std::string& Path, PathKind Last);

// The program created Native (or replaced it); a directory starts out empty.
void NoteCreated(const std::string& Native, bool IsDirectory);
// The program is about to remove Native or rename it away.
void NoteRemoved(const std::string& Native);

}  // namespace platform::posix
