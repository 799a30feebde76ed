// Making a pack executable: the program file's bytes, then the pack's ZIP
// archive byte for byte, then the 12-byte trailer (see Trailer.h) that names the
// container extension and the archive's length. Works the same for the Linux
// program and the Windows .exe, since neither looks at the bytes behind its own
// image. Used by the skinwright-pack tool.
#pragma once
#include <string>

namespace skw {

// The container extension an archive's name asks for: "bin"/"BIN"/"pal"/"PAL"
// from the token in front of its last "." (desert-pal.zip gives "pal"); empty
// when the name carries none of them.
std::string PackExtensionFromName(const std::string& ArchivePath);

// Writes Output from Program and Archive with the trailer for Extension. Returns
// an empty text on success, else what went wrong. Refuses a program file that
// already carries a pack, an extension other than bin/pal (either case), an
// archive of 4 GiB or more, and an Output that is one of the inputs. A failed
// write leaves no Output behind.
std::string BuildPack(const std::string& Program, const std::string& Archive, const std::string& Extension,
                      const std::string& Output);

}  // namespace skw
