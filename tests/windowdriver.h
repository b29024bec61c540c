#pragma once

#include "main/mainform.h"
#include "toolkit/platform/process.h"
#include "toolkit/widgets/memopane.h"
#include "toolkit/widgets/reportlistview.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

// Drives a fresh main window the way a person does: controls found by their names in the layout,
// clicks, keys and typing, and what a person sees of the list and the editor. Every suite that
// drives the window does it through this. The suite's initTestCase calls toolkit::setUpProcess(),
// as main() does.
class WindowDriver {
public:
    // The work kept in `workFile`, where one is given.
    explicit WindowDriver(const TMainForm::FontChooserFactory &makeFontChooser = {},
                          std::unique_ptr<toolkit::SaveDialog> saveDialog = {},
                          const QString &workFile = {})
        : form(std::make_unique<TMainForm>(makeFontChooser, std::move(saveDialog)))
        , makeFontChooser_(makeFontChooser)
        , workFile_(workFile) {
        open();
    }

    // The window closed, as by its close button, and a new one opened, as at the next start.
    void reopen() {
        form->close();
        form = std::make_unique<TMainForm>(makeFontChooser_);
        open();
    }

    template <typename T = QWidget> T *widget(QAnyStringView name) const {
        auto *found = form->findChild<T *>(name.toString());
        Q_ASSERT(found != nullptr);
        return found;
    }
    toolkit::ReportListView *list() const { return widget<toolkit::ReportListView>("ListBox"); }
    QLineEdit *numerator() const { return widget<QLineEdit>("NmntE"); }
    QLineEdit *denominator() const { return widget<QLineEdit>("DnmnE"); }
    QPushButton *change() const { return widget<QPushButton>("ChangeB"); }
    QPushButton *remove() const { return widget<QPushButton>("DeleteB"); }
    toolkit::MemoPane *memo() const { return widget<toolkit::MemoPane>("Memo"); }

    void clickRow(int row, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = {}) {
        const QModelIndex item = list()->model()->index(row, 0);
        list()->scrollTo(item);
        QTest::mouseClick(list()->viewport(), button, modifiers, list()->visualRect(item).center());
    }
    // False where the rows fill the list and leave no empty area to click.
    bool clickBelowRows(Qt::MouseButton button = Qt::LeftButton) {
        toolkit::ReportListView *l = list();
        l->scrollToBottom();
        const int y = l->viewport()->height() - 2;
        if (l->visualRect(l->model()->index(rowCount() - 1, 0)).bottom() >= y) {
            return false;
        }
        QTest::mouseClick(l->viewport(), button, {}, QPoint(20, y));
        return true;
    }
    // At `at` in the control, its centre unless given.
    void click(QWidget *w, QPoint at = {}) {
        QTest::mouseClick(w, Qt::LeftButton, {}, at.isNull() ? w->rect().center() : at);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
    }
    // Types any text, one character (code point) a key, as a keyboard or input method delivers it.
    void type(const QString &text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
            const QString character = text.mid(i, length);
            i += length - 1;
            const char latin = character.size() == 1 ? character.at(0).toLatin1() : 0;
            if (latin >= ' ' && latin <= '~') {
                QTest::keyClick(QApplication::focusWidget(), latin);
            } else {
                QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                                    character, Qt::NoModifier);
            }
        }
    }

    // The typical entry cycle: the entry row, Tab, numerator, Tab, denominator, Enter.
    void addEntry(const QString &numerator, const QString &denominator) {
        clickRow(rowCount() - 1);
        key(Qt::Key_Tab);
        type(numerator);
        key(Qt::Key_Tab);
        type(denominator);
        key(Qt::Key_Return);
    }

    int rowCount() const { return list()->model()->rowCount(); }
    int selectedRow() const {
        const auto rows = list()->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
    QStringList row(int r) const {
        const QAbstractItemModel *rows = list()->model();
        return {rows->index(r, 0).data().toString(), rows->index(r, 1).data().toString()};
    }
    QList<QStringList> entries() const {
        QList<QStringList> rows;
        for (int r = 0; r < rowCount() - 1; ++r) {
            rows << row(r);
        }
        return rows;
    }
    QStringList editor() const { return {numerator()->text(), denominator()->text()}; }

    std::unique_ptr<TMainForm> form;
    bool active = false;

private:
    void open() {
        if (!workFile_.isEmpty()) {
            form->keepWorkIn(workFile_);
        }
        form->show();
        form->activateWindow();
        active = QTest::qWaitForWindowActive(form.get());
    }

    TMainForm::FontChooserFactory makeFontChooser_;
    QString workFile_;
};
