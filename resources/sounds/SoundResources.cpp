// The waves are compiled in by the resource compiler (see ../CMakeLists.txt); a static library
// needs a unit of its own besides them.
namespace qb {

int soundResourceCount() {
    return 3;
}

}  // namespace qb
