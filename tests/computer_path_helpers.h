#pragma once
// Planned paths as plain cell lists, for writing expectations in tests.
#include <vector>

#include "state/planned_path.h"

namespace zib {

inline std::vector<Cell> cellsOf(const PlannedPath& path) {
    std::vector<Cell> cells;
    for (size_t i = 0; i < path.size(); ++i) cells.push_back(path[i]);
    return cells;
}

inline PlannedPath pathOf(const std::vector<Cell>& cells) {
    PlannedPath path;
    path.resize(cells.size());
    for (size_t i = 0; i < cells.size(); ++i) path.set(i, cells[i]);
    return path;
}

}  // namespace zib
