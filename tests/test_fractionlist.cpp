#include "fractions/editorrules.h"
#include "fractions/fractionlist.h"

#include <QtTest>

#include <random>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
// A list view kept in memory, starting as the window does: the entry row alone.
class MemoryListView final : public toolkit::ListView {
public:
    std::vector<std::pair<QString, QString>> rows{{u"（新規作成）"_s, {}}};
    int selected = -1;

    int rowCount() const override { return static_cast<int>(rows.size()); }
    int selectedIndex() const override { return selected; }
    void selectRow(int row) override { selected = row; }
    QString caption(int row) const override { return rows.at(size_t(row)).first; }
    void setCaption(int row, const QString &text) override { rows.at(size_t(row)).first = text; }
    QString subItem(int row) const override { return rows.at(size_t(row)).second; }
    void setSubItem(int row, const QString &text) override { rows.at(size_t(row)).second = text; }
    void appendRow(const QString &c, const QString &s) override { rows.emplace_back(c, s); }
    void insertRow(int r, const QString &c, const QString &s) override {
        rows.emplace(rows.begin() + r, c, s);
    }
    void removeRow(int row) override { rows.erase(rows.begin() + row); }
    void insertRows(int r, const std::vector<toolkit::ListRow> &added) override {
        rows.insert(rows.begin() + r, added.begin(), added.end());
    }
    void removeRows(int r, int n) override { rows.erase(rows.begin() + r, rows.begin() + r + n); }
};
} // namespace

using fractions::FractionList;

class FractionListTest : public QObject {
    Q_OBJECT
private slots:
    void commitAndRemove_keepTheEntryRowLast();
    void commitAndRemove_outsideTheEntries_changeNothing();
    void undoAndRedo_retraceEveryChangeWithinTheLimits();
    void editorState_data();
    void editorState();
};

void FractionListTest::commitAndRemove_keepTheEntryRowLast() {
    MemoryListView view;
    FractionList list(view);
    QCOMPARE(list.commit(0, {u"1"_s, u"2"_s}), FractionList::Commit::AddedEntry);
    QCOMPARE(list.commit(1, {u"+"_s, {}}), FractionList::Commit::AddedEntry);
    QCOMPARE(list.commit(0, {u"3"_s, {}}), FractionList::Commit::ChangedEntry);
    QCOMPARE(list.entryCount(), 2);
    QCOMPARE(list.entry(0), (fractions::Entry{u"3"_s, {}}));
    QVERIFY(!list.entry(0).isFraction());
    QVERIFY(list.remove(0));
    QCOMPARE(list.entry(0).numerator, u"+"_s);
    QCOMPARE(view.rows.back(), std::make_pair(FractionList::EntryRowCaption, QString()));
}

void FractionListTest::commitAndRemove_outsideTheEntries_changeNothing() {
    MemoryListView view;
    FractionList list(view);
    list.commit(0, {u"1"_s, u"2"_s});
    const auto before = view.rows;
    QCOMPARE(list.commit(-1, {u"x"_s, {}}), FractionList::Commit::Rejected);
    QCOMPARE(list.commit(2, {u"x"_s, {}}), FractionList::Commit::Rejected);
    QVERIFY(!list.remove(-1));
    QVERIFY(!list.remove(1));
    QVERIFY(!list.remove(2));
    QCOMPARE(view.rows, before);
}

void FractionListTest::undoAndRedo_retraceEveryChangeWithinTheLimits() {
    MemoryListView view;
    FractionList list(view);
    // Random commits, deletes and pastes, more than the history keeps; the list after each change.
    std::mt19937 random(30);
    std::vector<decltype(view.rows)> lists{view.rows};
    while (lists.size() < 1200) {
        const int row = static_cast<int>(random() % view.rows.size());
        if (random() % 3 == 0) {
            list.remove(row);
        } else if (random() % 4 == 0) {
            list.insert(row, std::vector<fractions::Entry>(random() % 3, {u"p"_s, u"q"_s}));
        } else {
            list.commit(row, {QString::number(random() % 3), random() % 2 ? u"2"_s : QString()});
        }
        if (view.rows != lists.back()) {
            lists.push_back(view.rows);
        }
    }
    for (size_t step = lists.size() - 1; step >= lists.size() - 1000; --step) {
        QVERIFY(list.undo() >= 0);
        QCOMPARE(view.rows, lists[step - 1]);
    }
    QCOMPARE(list.undo(), -1);
    while (list.redo() >= 0) {
    }
    QCOMPARE(view.rows, lists.back());
    list.undo();
    list.commit(0, {u"x"_s, {}});
    QVERIFY(!list.canRedo()); // a new change drops what was undone

    // Over the characters, the oldest steps go; the newest stays, however long. Each entry
    // counts, even an empty one.
    fractions::ListHistory history({10, 5});
    history.record({0, {}, {fractions::Entry{u"abc"_s, {}}}});
    history.record({0, {}, {fractions::Entry{u"123456"_s, {}}}});
    QCOMPARE(history.size(), size_t(1));
    fractions::ListHistory entries({10, 1000});
    entries.record({0, {}, {fractions::Entry{u"abc"_s, {}}}});
    entries.record({0, {}, std::vector<fractions::Entry>(100)});
    QCOMPARE(entries.size(), size_t(1));
}

void FractionListTest::editorState_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<bool>("change");
    QTest::addColumn<bool>("remove");
    QTest::newRow("no row") << -1 << 3 << false << false << false;
    QTest::newRow("no row, a text typed") << -1 << 3 << true << true << false;
    QTest::newRow("an entry") << 1 << 3 << false << true << true;
    QTest::newRow("the entry row") << 2 << 3 << false << true << false;
    QTest::newRow("the entry row alone") << 0 << 1 << false << true << false;
    QTest::newRow("a row that is gone") << 3 << 3 << true << false << false;
}

void FractionListTest::editorState() {
    QFETCH(int, selected);
    QFETCH(int, count);
    QFETCH(bool, typed);
    QFETCH(bool, change);
    QFETCH(bool, remove);
    const auto state = fractions::editorStateFor(selected, count, typed);
    QCOMPARE(state.changeEnabled, change);
    QCOMPARE(state.deleteEnabled, remove);
    QCOMPARE(state.loadsRow, remove);
}

QTEST_GUILESS_MAIN(FractionListTest)
#include "test_fractionlist.moc"
