// Progress percentage; see Progress.h. Computed in double precision, which holds
// Done * 100 exactly for every 32-bit size, so halves are recognised exactly.
#include "archive/core/Progress.h"

#include <cmath>

namespace kst {

int32_t CalcProgress(int64_t Done, int64_t Total) {
  if (Total == 0) return 0;
  const double Percent = std::nearbyint(static_cast<double>(Done) * 100.0 / static_cast<double>(Total));
  if (!(Percent > 0.0)) return 0;
  if (Percent >= 100.0) return 100;
  return static_cast<int32_t>(Percent);
}

}  // namespace kst
