// MakeEmptyDiary [path]: creates the empty diary database (default: Marlowick.mdb in the
// current folder). It never overwrites an existing file.

#include <exception>
#include <iostream>
#include <string>

#include "EmptyDiary.h"
#include "store/DatabaseUnit.h"

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: MakeEmptyDiary [path of the new " << DatabaseFileName << "]\n";
        return 2;
    }
    const std::string path = argc == 2 ? argv[1] : DatabaseFileName;
    try {
        CreateEmptyDiary(path);
    } catch (const std::exception& e) {
        std::cerr << "MakeEmptyDiary: " << e.what() << '\n';
        return 1;
    }
    std::cout << "Created the empty diary " << path << '\n';
    return 0;
}
