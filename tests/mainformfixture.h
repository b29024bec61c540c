#pragma once

#include "main/mainform.h"
#include "toolkit/fonts.h"
#include "toolkit/reportlistview.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

// Drives a fresh main window the way a person does: clicks, keys and typing.
class MainFormDriver {
public:
    MainFormDriver() {
        toolkit::installFontSubstitutes();
        form = std::make_unique<TMainForm>();
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    template <typename T> T *widget(const char *name) const {
        auto *found = form->findChild<T *>(QString::fromLatin1(name));
        Q_ASSERT(found != nullptr);
        return found;
    }
    ReportListView *list() const { return widget<ReportListView>("ListBox"); }
    QLineEdit *numerator() const { return widget<QLineEdit>("NmntE"); }
    QLineEdit *denominator() const { return widget<QLineEdit>("DnmnE"); }
    QPushButton *change() const { return widget<QPushButton>("ChangeB"); }
    QPushButton *remove() const { return widget<QPushButton>("DeleteB"); }
    QPlainTextEdit *memo() const { return widget<QPlainTextEdit>("Memo"); }

    void clickRow(int row, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = {}) {
        const QRect rect = list()->visualRect(list()->model()->index(row, 0));
        QTest::mouseClick(list()->viewport(), button, modifiers, rect.center());
    }
    void clickBelowRows() {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          QPoint(20, list()->viewport()->height() - 5));
    }
    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }
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
};
