#include "platform/core/Rounding.h"

#include <cfenv>
#include <cmath>

namespace qb {

int roundHalfEven(double value) {
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    return static_cast<int>(rounded);
}

}  // namespace qb
