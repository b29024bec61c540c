#pragma once

namespace fractions {

// What the entry editor shows for the selected row: Change works on any selected row, Delete only
// on an entry, and an entry is loaded into the boxes while the entry row or no row empties them.
struct EditorState {
    bool changeEnabled = false;
    bool deleteEnabled = false;
    bool loadsRow = false;
};

constexpr EditorState editorStateFor(int selectedRow, int rowCount) {
    const bool selected = selectedRow >= 0 && selectedRow < rowCount;
    const bool entry = selected && selectedRow != rowCount - 1;
    return {selected, entry, entry};
}

} // namespace fractions
