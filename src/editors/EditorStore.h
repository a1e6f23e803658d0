#pragma once
// The database module as the editor pages reach it.

class TDataModule1;

namespace qb {

// The program's database module; raises std::runtime_error when there is none.
TDataModule1& editorStore();

}  // namespace qb
