#pragma once
// The one error type of the data layer. Its message is SQLite's own text (or ours, for misuse
// of a table such as editing a closed one), so the program's default handler can show it.

#include <stdexcept>

namespace qb::db {

class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace qb::db
