#include "editors/EditorStore.h"

#include "program/ProgramState.h"

#include <stdexcept>

namespace qb {

TDataModule1& editorStore() {
    if (DataModule1 == nullptr) {
        throw std::runtime_error("The database is not open");
    }
    return *DataModule1;
}

}  // namespace qb
