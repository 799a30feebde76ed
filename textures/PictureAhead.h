// TPictureAhead: the next picture of the import, extracted ahead of its turn
// while the current picture's level chain is made on the second thread. It
// holds at most one picture. Taking a picture that was fetched gives its
// bytes, or raises the error its extraction raised, exactly when the run asks
// for it; any other name is extracted then, as without fetching. A fetched
// picture that is never asked for is dropped, error and all.
#pragma once
#include <exception>
#include <string>

#include "archive/io/MemoryStream.h"
#include "textures/PictureSource.h"

namespace skw {

class TPictureAhead {
 public:
  // Extracts Name from Source now and holds the result; never raises.
  void Fetch(TPictureSource& Source, const std::string& Name) noexcept;
  // Name's picture from Source: the one held when it was fetched for Name,
  // otherwise extracted now. Whatever was held is let go.
  kst::TMemoryStream Take(TPictureSource& Source, const std::string& Name);

 private:
  void Drop() noexcept;

  bool FHolding = false;
  std::string FName;
  kst::TMemoryStream FPicture;
  std::exception_ptr FError;
};

}  // namespace skw
