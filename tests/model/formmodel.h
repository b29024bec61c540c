#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What a person should see of the main window, worked out from the window's rules alone: the
// rows of the list, the selected row and the keyboard focus mark, the editor, the buttons, the
// focus, the markup pane and the clipboard. It knows nothing of widgets.
namespace model {

enum class Control {
    ListBox,
    NmntE,
    DnmnE,
    ChangeB,
    DeleteB,
    OldPageSC,
    MakeB,
    CopyB,
    Memo,
    PathE,
    VisSC,
    FontB
};

struct Row {
    QString numerator;
    QString denominator;
    friend bool operator==(const Row &, const Row &) = default;
};

struct FormModel {
    std::vector<Row> entries;
    int selected = -1;
    // The list's keyboard focus mark, which the arrow keys move from.
    int current = -1;
    QString numerator;
    QString denominator;
    QString path = QStringLiteral("./fracline.gif");
    bool changeEnabled = false;
    bool deleteEnabled = false;
    bool sampleVisible = true;
    // The pane as generated; empty when the user has typed into it since.
    std::optional<QString> memo = QString();
    // The pane holds what Make wrote, and is made again whenever the list changes.
    bool memoFollows = false;
    std::optional<QString> clipboard;
    // The row a paste in the list reads from the clipboard; nothing when it reads none.
    std::optional<std::vector<Row>> clipboardRow;
    Control focus = Control::ListBox;
    int fontChooserRuns = 0;
    // Each change of the list: its row, and the entries and the selected row before and after.
    struct Step {
        int row;
        std::vector<Row> before, after;
        int selectedAfter;
    };
    std::vector<Step> history;
    size_t done = 0;

    int count() const { return static_cast<int>(entries.size()) + 1; }
    bool available(Control c) const;

    // The editor refresh: the boxes and buttons follow the selected row.
    void refresh();
    // Selects `row` (or none with -1); a change of the selected row refreshes the editor.
    void select(int row);
    // With no row selected, a commit of the entry row, if anything is typed.
    void commit();
    // A text typed into a box: with no row selected, Change is there for it.
    void typed();
    // The window closed and opened again: the list, the path, the sample's visibility and the
    // pane kept, the rest as at start-up.
    void reopen();
    void remove();
    void record(int row, std::vector<Row> before);
    // The list and the selected row exactly as before the change, or after it, shown as a click
    // on that row shows it.
    void undo(bool redo = false);
    QStringList markup() const;
    // The pane's text after Make: every line followed by a line break.
    QString memoAfterMake() const;
    void make() {
        memo = memoAfterMake();
        memoFollows = true;
    }
    // After a change of the list.
    void follow() {
        if (memoFollows && memo) {
            make();
        }
    }
    // Copy puts the pane's text on the clipboard with CR LF line breaks; an empty pane is made
    // first.
    void copy(const QString &paneText);
    // The list's copy and paste: copy puts the selected entry on the clipboard as text `text`
    // and reads back as that entry; a paste goes before the selected row, or at the end, and
    // leaves the selection on its row and the editor alone.
    void copyEntry(const QString &text);
    void pasteRow();
    void tab(bool backwards);
};

QString withCrLf(QString text);

} // namespace model
