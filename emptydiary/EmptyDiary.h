#pragma once
// The empty diary database: the four tables and the one Pswd row holding the cipher text of the
// empty text (no log-in password) under the program's key.

#include <string>

// Creates the file at path. Raises std::runtime_error, and leaves any existing file untouched,
// when the path already exists or the file cannot be made.
void CreateEmptyDiary(const std::string& path);
