// TEntrySpans: the bytes each entry of a ZIP archive occupies, and the test
// that no entry's local header and data share a byte with another entry or
// with the central directory. Archives written by any archiver keep their
// entries apart; an archive whose central records point several times at the
// same data (or into one another, or into the directory) makes a small file
// decode to many times its size, so such entries are refused before anything
// is extracted. Every entry of the directory counts, also those a run does not
// select. For an entry not being extracted only the least it must occupy is
// known without reading its local header: the 30-byte header and its
// compressed data (the name and extra field are left out, so a sound archive
// never looks overlapping).
#pragma once
#include <cstdint>
#include <vector>

namespace kst {

class TEntrySpans {
 public:
  // Where the central directory lies: [Start, End).
  void SetDirectory(uint64_t Start, uint64_t End) {
    FDirectoryStart = Start;
    FDirectoryEnd = End;
  }
  // One central record: its local header offset and compressed size (a size of
  // 0xFFFFFFFF is a placeholder for a larger one stored elsewhere and counts as 0).
  void Add(uint32_t LocalOffset, uint32_t PackedSize);
  // Sorts what was added; call once before Overlaps.
  void Seal();
  // True when the entry occupying [Start, End) (header, name, extra field and
  // data), one of those added, shares a byte with another entry or the directory.
  bool Overlaps(uint64_t Start, uint64_t End) const;

 private:
  struct TSpan {
    uint64_t Start;
    uint64_t End;
  };
  std::vector<TSpan> FSpans;
  // Largest End among FSpans[0..i], for spans that begin before an entry.
  std::vector<uint64_t> FReach;
  uint64_t FDirectoryStart = 0;
  uint64_t FDirectoryEnd = 0;
};

}  // namespace kst
