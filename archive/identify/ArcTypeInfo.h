// Fixed facts about each archive kind: its display name, the table of archive file
// extensions, and the capability sets that tell an operation whether it may work
// on an archive of that kind. Pure lookups over constant tables; TZipCommon offers
// them as members too.
#pragma once
#include <string>
#include <string_view>

#include "archive/identify/ArcType.h"

namespace kst {

// Display name of a kind, padded to its fixed width (10 characters, except
// "Not avail. " with 11 and the MsGZ name, which ends in a tab).
std::string ArcTypeDisplayName(TArcType ArcType);

// Number of entries in the archive extension table.
inline constexpr int ArchiveExtCount = 20;
// Index of the ".JAR" entry, which identification also uses.
inline constexpr int JarExtIndex = 17;

// Index (0-19) of the first table entry equal to Ext ignoring case, or -1.
int ArchiveExtIndex(std::string_view Ext);
// The table entry at Index (0-19), or "" outside the table.
std::string_view ArchiveExt(int Index);

// Capability sets.
bool IsArcValid(TArcType ArcType);           // every real archive kind
bool IsArcDecompressable(TArcType ArcType);  // entries can be extracted
bool IsArcSearchable(TArcType ArcType);      // entries can be listed
bool IsArcVerifyable(TArcType ArcType);      // entries can be tested
bool IsArcCompressable(TArcType ArcType);    // the compression side can write it
bool IsCommentEditable(TArcType ArcType);    // the archive comment can be changed

// The ZIP kinds each ZIP operation accepts. They differ on purpose: the lister
// walks the headers of every ZIP and JAR file and self-extractor but not of a
// spanned set; extraction takes spanned sets and plain JAR files but not JAR
// self-extractors; method texts and the archive comment read any ZIP kind; the
// stored-data decryption also serves the BH kinds.
bool IsZipListable(TArcType ArcType);     // atZip, atZipExe, atJar, atJarExe
bool IsZipExtractable(TArcType ArcType);  // atZip, atZipExe, atZipMV, atJar
bool IsAnyZip(TArcType ArcType);          // atZip, atZipExe, atZipMV, atJar, atJarExe
bool DecryptsOnWrite(TArcType ArcType);   // IsZipExtractable and atBh, atBhExe

}  // namespace kst
