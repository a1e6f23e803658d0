#pragma once
// Rounding as the diary's arithmetic does it: to the nearest integer, a half going to the even
// neighbour (2.5 gives 2, 3.5 gives 4), whatever rounding mode the process was left in.
// std::round and qRound take halves away from zero and give other pixels and colours.

namespace qb {

int roundHalfEven(double value);

}  // namespace qb
