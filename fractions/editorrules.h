#pragma once

namespace fractions {

// What the entry editor shows for the selected row: Change works on any selected row, Delete only
// on an entry, and an entry is loaded into the boxes while the entry row or no row empties them.
// With no row selected, Change adds what is typed in the boxes as a new entry, as Enter there does.
struct EditorState {
    bool changeEnabled = false;
    bool deleteEnabled = false;
    bool loadsRow = false;
};

constexpr EditorState editorStateFor(int selectedRow, int rowCount, bool typed = false) {
    const bool selected = selectedRow >= 0 && selectedRow < rowCount;
    const bool entry = selected && selectedRow != rowCount - 1;
    return {selected || (selectedRow == -1 && typed), entry, entry};
}

} // namespace fractions
