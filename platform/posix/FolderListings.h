// The case-blind name lookup behind the Linux path layer, and the memory of
// folder listings that keeps it cheap. Windows names ignore case, so a name that
// does not exist as written is looked for in its folder without regard to case.
// Listing a folder for every such name makes writing n new files into one folder
// cost n listings of a growing folder (quadratic); while a PathLookupScope is
// alive (an extraction run), the listing of a folder is therefore read once and
// kept, and the program's own creations, renames and deletions keep it up to
// date; a folder the program creates starts with an empty listing. Folders are
// told apart by device and inode, so every spelling of a path finds the same
// listing. The path of a folder is looked up once per scope too. Outside a
// scope every lookup lists the folder afresh.
#pragma once
#include <string>

namespace platform::posix {

// The name in Directory ("" for the current folder) that equals Name without
// regard to case, or empty when there is none (or the folder cannot be read).
std::string FindIgnoringCase(const std::string& Directory, const std::string& Name);

// True when Native is a folder (remembered for the scope's lifetime).
bool IsFolder(const std::string& Native);

// The program created Native (or replaced it); a directory starts out empty.
void NoteCreated(const std::string& Native, bool IsDirectory);
// The program removed the file Native or renamed it away; for a folder, the
// program is about to (call it first: the folder's inode is still needed).
void NoteRemoved(const std::string& Native, bool IsDirectory);

}  // namespace platform::posix
