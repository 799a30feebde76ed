// TPictureAhead: holding one picture extracted ahead, and handing it over.
#include "textures/PictureAhead.h"

#include <utility>

namespace skw {

void TPictureAhead::Drop() noexcept {
  FHolding = false;
  FName.clear();
  FPicture.Clear();
  FError = nullptr;
}

void TPictureAhead::Fetch(TPictureSource& Source, const std::string& Name) noexcept {
  Drop();
  try {
    FName = Name;
  } catch (...) {
    return;  // nothing held: the picture is extracted in its turn
  }
  FHolding = true;
  try {
    FPicture = Source.ExtractPicture(Name);
  } catch (...) {
    FError = std::current_exception();
  }
}

kst::TMemoryStream TPictureAhead::Take(TPictureSource& Source, const std::string& Name) {
  if (!FHolding || FName != Name) {
    Drop();
    return Source.ExtractPicture(Name);
  }
  const std::exception_ptr Error = std::exchange(FError, nullptr);
  kst::TMemoryStream Picture(std::move(FPicture));
  Drop();
  if (Error) std::rethrow_exception(Error);
  return Picture;
}

}  // namespace skw
