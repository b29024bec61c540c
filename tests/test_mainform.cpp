#include "fractions/fractionlist.h"
#include "markup/tablemarkup.h"
#include "toolkit/accessibility/longtextlineeditaccessible.h"
#include "toolkit/widgets/longtextlineedit.h"
#include "windowdriver.h"

#include <QAbstractItemModelTester>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleHints>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QToolTip>

using namespace Qt::StringLiterals;

// The main window as a person uses it: the fraction list and its editor, the default button,
// focus and tab order, the fixed layout, and the markup pane.
class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { toolkit::setUpProcess(); }
    void init() {
        ui = std::make_unique<WindowDriver>();
        QVERIFY(ui->active);
    }
    void cleanup() { ui.reset(); }

    void startUp_showsTheEntryRowAndNothingEnabled();
    void layout_placesEveryControlAsDesigned_data();
    void layout_placesEveryControlAsDesigned();
    void layout_isFixedWithJapaneseFont();
    void layout_growsTheCheckBoxOnlyAsFarAsItsTextNeeds();

    void enteringAFraction_appendsANewEntryRowAndReturnsToNumerator();
    void committingTheEntryRow_data();
    void committingTheEntryRow();
    void committingAnEntry_changesItInPlace_data();
    void committingAnEntry_changesItInPlace();
    void clickingRows_refreshesTheEditor();
    void list_tellsOfEachChangeAsQtsViewsExpect();
    void keyboardSelection_loadsTheRowSoNothingIsOverwritten();
    void deleting_data();
    void deleting();
    void deletingTheLastEntryByMouse_movesFocusToTheList();
    void listClipboard_leavesTheListAloneAndSaysSoOnBadInput_data();
    void listClipboard_leavesTheListAloneAndSaysSoOnBadInput();

    void enter_activatesChangeFromControlsWithoutOwnUse_data();
    void enter_activatesChangeFromControlsWithoutOwnUse();
    void enter_onAnotherButtonOrInTheMemo_doesNotCommit();
    void escape_leavesTheWindowOpen();
    void tab_followsTheLayoutOrderAndSkipsUnavailableControls();
    void editBoxes_selectAllWhenEnteredByKeyboardOnly();
    void editBoxes_clickPlacesTheCaretAmongTheCharactersShown_data();
    void editBoxes_clickPlacesTheCaretAmongTheCharactersShown();
    void editBoxes_tellAnInputMethodWholeCharactersAroundTheCaret();
    void editBoxes_standOnQtsLineEditAsItIs();

    void make_writesTheTableOfTheCurrentEntries();
    void makeAgain_leavesThePaneAsAFirstMakeWould_data();
    void makeAgain_leavesThePaneAsAFirstMakeWould();
    void paneMenu_makesTheOtherMarkupsAboveTheStandardItems_data();
    void paneMenu_makesTheOtherMarkupsAboveTheStandardItems();
    void copy_putsThePaneWithCrLfOnTheClipboard();
    void copy_ofAnEmptyPane_makesTheTableFirst();
    void pane_followsTheListUntilEditedByHand();
    void saveLineImage_writesTheGifWhereChosenOrSaysWhyNot_data();
    void saveLineImage_writesTheGifWhereChosenOrSaysWhyNot();
    void pane_movesAndEditsAsWithOneParagraphALine_data();
    void pane_movesAndEditsAsWithOneParagraphALine();
    void pane_tripleClickSelectsLines_data();
    void pane_tripleClickSelectsLines();
    void pane_wrapsLongLinesAsQtDoes_data();
    void pane_wrapsLongLinesAsQtDoes();
    void pane_keepsNoncharacters_data();
    void pane_keepsNoncharacters();

    void inputMethod_commitsComposedTextUnchanged();
    void screenReaders_nameEveryControlAndReadTheSample();
    void qtsOwnTexts_areJapanese();
    void styleImages_preloadedLeavePluginFormatsReadable();

private:
    toolkit::MemoPane *filledPane();
    std::unique_ptr<WindowDriver> ui;
    std::unique_ptr<QPlainTextEdit> reference;
};

namespace {

// Lines that never wrap in the pane: 21 characters each, line breaks included.
constexpr int LineLength = 21;
QString shortLines(int count) {
    QString text;
    for (int i = 0; i < count; ++i) {
        text += u"line %1 of the pane\n"_s.arg(i, 3, 10, QChar(u'0'));
    }
    return text;
}

// What a user sees of a pane and what an input method learns of it.
QStringList paneState(const QPlainTextEdit &pane) {
    const QTextCursor caret = pane.textCursor();
    return {u"caret %1, anchor %2"_s.arg(caret.position()).arg(caret.anchor()),
            u"scroll bar %1 of %2"_s.arg(pane.verticalScrollBar()->value())
                .arg(pane.verticalScrollBar()->maximum()),
            u"input method: \"%1\", caret %2, anchor %3"_s
                .arg(pane.inputMethodQuery(Qt::ImSurroundingText).toString())
                .arg(pane.inputMethodQuery(Qt::ImCursorPosition).toInt())
                .arg(pane.inputMethodQuery(Qt::ImAnchorPosition).toInt())};
}

void placeCaret(QPlainTextEdit &pane, int position) {
    QTextCursor caret = pane.textCursor();
    caret.setPosition(position);
    pane.setTextCursor(caret);
}

} // namespace

// The window's pane holding 150 short lines, and beside it a plain-text pane as Qt has it, with
// one paragraph a line, of the same size, font and text: the yardstick of what a user expects.
toolkit::MemoPane *MainFormTest::filledPane() {
    auto *memo = ui->memo();
    memo->replaceText(shortLines(150));
    // The rows of the pane's cases expect lines 0 to 63 in the first paragraph, 64 on in the next.
    if (!QTest::qCompare(memo->document()->findBlockByNumber(1).position(), 64 * LineLength,
                         "second paragraph", "line 64", __FILE__, __LINE__)) {
        return nullptr;
    }
    reference = std::make_unique<QPlainTextEdit>();
    reference->setFont(memo->font());
    reference->setVerticalScrollBarPolicy(memo->verticalScrollBarPolicy());
    reference->setHorizontalScrollBarPolicy(memo->horizontalScrollBarPolicy());
    reference->resize(memo->size());
    reference->setPlainText(shortLines(150));
    reference->show();
    if (!QTest::qWaitForWindowExposed(reference.get())) {
        return nullptr;
    }
    return memo;
}

void MainFormTest::startUp_showsTheEntryRowAndNothingEnabled() {
    QCOMPARE(ui->rowCount(), 1);
    QCOMPARE(ui->row(0), QStringList({u"（新規作成）"_s, QString()}));
    QCOMPARE(ui->selectedRow(), -1);
    QCOMPARE(QApplication::focusWidget(), ui->list());
    QVERIFY(!ui->change()->isEnabled());
    QVERIFY(!ui->remove()->isEnabled());
    QCOMPARE(ui->editor(), QStringList({QString(), QString()}));
    QVERIFY(ui->memo()->toPlainText().isEmpty());
    QCOMPARE(ui->widget<QLineEdit>("PathE")->text(), u"./fracline.gif"_s);
    QVERIFY(ui->widget<QCheckBox>("VisSC")->isChecked());
    QCOMPARE(ui->form->windowTitle(), u"Pemvaro for HTML"_s);

    ui->key(Qt::Key_Return);
    QCOMPARE(ui->rowCount(), 1);
}

void MainFormTest::layout_placesEveryControlAsDesigned_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    const auto row = [](const char *name, int x, int y, int w, int h) {
        QTest::newRow(name) << QString::fromLatin1(name) << QRect(x, y, w, h);
    };
    row("ListP", 8, 28, 225, 349);
    row("TagP", 244, 28, 297, 217);
    row("SampleP", 244, 252, 297, 125);
    row("ListBox", 8, 20, 208, 229);
    row("NmntE", 44, 256, 121, 20);
    row("DnmnE", 44, 280, 121, 20);
    row("ChangeB", 60, 312, 75, 25);
    row("DeleteB", 140, 312, 75, 25);
    row("PathE", 88, 20, 165, 20);
    row("Memo", 8, 44, 277, 129);
    row("MakeB", 124, 180, 75, 25);
    row("CopyB", 208, 180, 75, 25);
    row("Image", 8, 24, 277, 77);
    row("FontB", 8, 104, 45, 17);
    row("VisSC", 184, 104, 101, 17);
}

void MainFormTest::layout_placesEveryControlAsDesigned() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QCOMPARE(ui->widget<QWidget>(name.toLatin1().constData())->geometry(), geometry);
}

void MainFormTest::layout_isFixedWithJapaneseFont() {
    TMainForm &form = *ui->form;
    QCOMPARE(form.size(), QSize(544, 399));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);

    QCOMPARE(QFontInfo(ui->numerator()->font()).family(), u"IPAPGothic"_s);
    QCOMPARE(ui->numerator()->font().pixelSize(), 12);
    for (const char *name : {"TitleL", "PBL", "NmntL", "PathL"}) {
        auto *label = ui->widget<QLabel>(name);
        QCOMPARE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    }
    QCOMPARE(ui->widget<QLabel>("TitleL")->text(), u"Pemvaro for HTML  ver1.00"_s);
    QCOMPARE(ui->widget<QLabel>("PBL")->text(), u"projected by \"Halvetsu\""_s);
    QCOMPARE(ui->list()->model()->headerData(0, Qt::Horizontal).toString(), u"分子"_s);
    QCOMPARE(ui->list()->columnWidth(0), 102);
    QCOMPARE(ui->list()->columnWidth(1), 102);
}

namespace {

// A style whose check box indicator is wider than the layout allows for, as some desktops' are.
class LargeIndicatorStyle final : public QProxyStyle {
public:
    LargeIndicatorStyle()
        : QProxyStyle(QStyleFactory::create(u"Fusion"_s)) {}
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override {
        return metric == PM_IndicatorWidth ? 24 : QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

void MainFormTest::layout_growsTheCheckBoxOnlyAsFarAsItsTextNeeds() {
    const QString usual = QApplication::style()->name();
    QApplication::setStyle(new LargeIndicatorStyle);
    ui = std::make_unique<WindowDriver>();
    auto *box = ui->widget<QCheckBox>("VisSC");
    QStyleOptionButton option;
    option.initFrom(box);
    const int room =
        box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
    const int text = box->fontMetrics().horizontalAdvance(box->text());
    const QRect geometry = box->geometry();
    ui.reset();
    QApplication::setStyle(usual);

    QCOMPARE(room, text);
    QCOMPARE(geometry.right(), 184 + 101 - 1);
}

void MainFormTest::enteringAFraction_appendsANewEntryRowAndReturnsToNumerator() {
    // Typed before any row is selected: Enter in a box commits to the entry row.
    ui->click(ui->numerator());
    ui->type(u"5"_s);
    ui->key(Qt::Key_Return);
    QCOMPARE(ui->entries(), QList<QStringList>({{u"5"_s, QString()}}));
    ui->list()->setFocus();
    ui->key(Qt::Key_Z, Qt::ControlModifier);

    ui->clickRow(0);
    QVERIFY(ui->change()->isEnabled());
    QVERIFY(!ui->remove()->isEnabled());
    QCOMPARE(QApplication::focusWidget(), ui->list());

    ui->addEntry(u"1"_s, u"2"_s);
    ui->type(u"3"_s);
    ui->key(Qt::Key_Tab);
    ui->type(u"4"_s);
    ui->key(Qt::Key_Enter, Qt::KeypadModifier);

    QCOMPARE(ui->entries(), QList<QStringList>({{u"1"_s, u"2"_s}, {u"3"_s, u"4"_s}}));
    QCOMPARE(ui->row(2), QStringList({u"（新規作成）"_s, QString()}));
    QCOMPARE(ui->selectedRow(), 2);
    QCOMPARE(ui->editor(), QStringList({QString(), QString()}));
    QCOMPARE(QApplication::focusWidget(), ui->numerator());
    QVERIFY(ui->change()->isEnabled());
    QVERIFY(!ui->remove()->isEnabled());

    // A "<" that opens a tag: the entry as typed, and the user told what a page shows of it.
    ui->type(u"c<d"_s);
    ui->key(Qt::Key_Return);
    QCOMPARE(ui->row(2), QStringList({u"c<d"_s, QString()}));
    QTRY_VERIFY(QToolTip::text().startsWith(u"「c<d」はページでは「c」と表示されます"_s));
}

void MainFormTest::committingTheEntryRow_data() {
    QTest::addColumn<QString>("numerator");
    QTest::addColumn<QString>("denominator");
    QTest::newRow("both empty: a plain entry without text") << QString() << QString();
    QTest::newRow("numerator only: a plain entry") << u"+"_s << QString();
    QTest::newRow("markup and format characters kept as typed")
        << u"<b>&amp; \"%s\" %1 %%</b>"_s << u"  x² 分母 😀 "_s;
}

void MainFormTest::committingTheEntryRow() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    ui->addEntry(numerator, denominator);
    QCOMPARE(ui->entries(), QList<QStringList>({{numerator, denominator}}));
    QCOMPARE(ui->rowCount(), 2);
    QCOMPARE(ui->row(1), QStringList({u"（新規作成）"_s, QString()}));
}

void MainFormTest::committingAnEntry_changesItInPlace_data() {
    QTest::addColumn<QString>("denominator");
    QTest::addColumn<bool>("retype");
    QTest::newRow("emptied denominator makes it plain") << QString() << true;
    QTest::newRow("new denominator") << u"8"_s << true;
    QTest::newRow("unchanged texts") << u"2"_s << false;
}

void MainFormTest::committingAnEntry_changesItInPlace() {
    QFETCH(QString, denominator);
    QFETCH(bool, retype);
    ui->addEntry(u"1"_s, u"2"_s);
    ui->addEntry(u"3"_s, u"4"_s);
    ui->clickRow(0);
    QCOMPARE(ui->editor(), QStringList({u"1"_s, u"2"_s}));
    if (retype) {
        ui->denominator()->setFocus(Qt::TabFocusReason);
        ui->key(Qt::Key_Backspace);
        ui->type(denominator);
    }
    ui->click(ui->change());

    QCOMPARE(ui->entries(), QList<QStringList>({{u"1"_s, denominator}, {u"3"_s, u"4"_s}}));
    QCOMPARE(ui->rowCount(), 3);
    QCOMPARE(ui->selectedRow(), 0);
    QCOMPARE(ui->editor(), QStringList({u"1"_s, denominator}));
    QCOMPARE(QApplication::focusWidget(), ui->numerator());
    QCOMPARE(ui->numerator()->selectedText(), u"1"_s);
}

void MainFormTest::clickingRows_refreshesTheEditor() {
    ui->addEntry(u"1"_s, u"2"_s);
    ui->clickRow(0);
    QCOMPARE(ui->editor(), QStringList({u"1"_s, u"2"_s}));
    QVERIFY(ui->change()->isEnabled() && ui->remove()->isEnabled());

    ui->clickRow(1);
    QCOMPARE(ui->editor(), QStringList({QString(), QString()}));
    QVERIFY(ui->change()->isEnabled() && !ui->remove()->isEnabled());

    ui->clickRow(0);
    ui->clickBelowRows();
    QCOMPARE(ui->selectedRow(), -1);
    QCOMPARE(ui->editor(), QStringList({QString(), QString()}));
    QVERIFY(!ui->change()->isEnabled() && !ui->remove()->isEnabled());
}

void MainFormTest::list_tellsOfEachChangeAsQtsViewsExpect() {
    QAbstractItemModel *rows = ui->list()->model();
    QAbstractItemModelTester tester(rows, QAbstractItemModelTester::FailureReportingMode::QtTest);
    ui->addEntry(u"1"_s, u"2"_s);
    ui->addEntry(u"3"_s, u"4"_s);
    // A new denominator changes the second column of its row alone, and the view repaints it.
    QSignalSpy changed(rows, &QAbstractItemModel::dataChanged);
    ui->clickRow(0);
    ui->denominator()->setText(u"5"_s);
    ui->click(ui->change());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), rows->index(0, 1));
    QCOMPARE(changed.at(0).at(1).toModelIndex(), rows->index(0, 1));
    ui->click(ui->remove());
    ui->click(ui->remove());
    QCOMPARE(ui->rowCount(), 1);
}

void MainFormTest::keyboardSelection_loadsTheRowSoNothingIsOverwritten() {
    ui->addEntry(u"1"_s, u"2"_s);
    ui->addEntry(u"3"_s, u"4"_s);
    ui->clickRow(0);
    ui->key(Qt::Key_Down);
    QCOMPARE(ui->selectedRow(), 1);
    QCOMPARE(ui->editor(), QStringList({u"3"_s, u"4"_s}));
    ui->key(Qt::Key_Return);
    QCOMPARE(ui->entries(), QList<QStringList>({{u"1"_s, u"2"_s}, {u"3"_s, u"4"_s}}));

    ui->clickRow(1, Qt::RightButton);
    ui->clickRow(0, Qt::RightButton);
    QCOMPARE(ui->editor(), QStringList({u"1"_s, u"2"_s}));
    ui->clickRow(0, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(ui->selectedRow(), -1);
    QVERIFY(!ui->change()->isEnabled() && !ui->remove()->isEnabled());
    QCOMPARE(ui->editor(), QStringList({QString(), QString()}));
}

void MainFormTest::deleting_data() {
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("loaded");
    QTest::newRow("the only entry") << 1 << 0 << QStringList{QString(), QString()};
    QTest::newRow("an entry in the middle") << 3 << 1 << QStringList{u"c"_s, u"3"_s};
    QTest::newRow("the last entry") << 3 << 2 << QStringList{QString(), QString()};
}

void MainFormTest::deleting() {
    QFETCH(int, entries);
    QFETCH(int, row);
    QFETCH(QStringList, loaded);
    const QStringList names{u"a"_s, u"b"_s, u"c"_s};
    for (int i = 0; i < entries; ++i) {
        ui->addEntry(names[i], QString::number(i + 1));
    }
    ui->clickRow(row);
    ui->remove()->setFocus(Qt::TabFocusReason);
    ui->key(Qt::Key_Space);

    QCOMPARE(ui->rowCount(), entries);
    QCOMPARE(ui->row(entries - 1), QStringList({u"（新規作成）"_s, QString()}));
    QCOMPARE(ui->selectedRow(), row);
    QCOMPARE(ui->editor(), loaded);
    QVERIFY(ui->change()->isEnabled());
    QCOMPARE(ui->remove()->isEnabled(), row < entries - 1);
}

void MainFormTest::deletingTheLastEntryByMouse_movesFocusToTheList() {
    ui->addEntry(u"1"_s, u"2"_s);
    ui->clickRow(0);
    ui->click(ui->remove());
    QCOMPARE(ui->rowCount(), 1);
    QCOMPARE(QApplication::focusWidget(), ui->list());
    QVERIFY(!ui->widget<QAction>("CopyImageMI")->isEnabled());
}

void MainFormTest::listClipboard_leavesTheListAloneAndSaysSoOnBadInput_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("notice");
    const QString nothing = u"クリップボードに分数の列がありません"_s;
    QTest::newRow("empty") << QString() << nothing;
    QTest::newRow("16 MB") << u"1/2 "_s.repeated(4'000'000)
                           << u"クリップボードが大きすぎて貼り付けられません"_s;
    QTest::newRow("too many entries")
        << u"1/2 "_s.repeated(100'001) << u"クリップボードの列が長すぎて貼り付けられません"_s;
}

void MainFormTest::listClipboard_leavesTheListAloneAndSaysSoOnBadInput() {
    QFETCH(QString, text);
    QFETCH(QString, notice);
    ui->addEntry(u"1"_s, u"2"_s);
    ui->clickRow(0);
    ui->key(Qt::Key_Tab);
    ui->type(u"7"_s);
    ui->key(Qt::Key_Tab, Qt::ShiftModifier);
    QGuiApplication::clipboard()->setText(text);
    QElapsedTimer timer;
    timer.start();
    ui->key(Qt::Key_V, Qt::ControlModifier);
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(ui->entries(), QList<QStringList>({{u"1"_s, u"2"_s}}));
    QCOMPARE(ui->editor(), QStringList({u"7"_s, u"2"_s}));
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), notice);
}

void MainFormTest::enter_activatesChangeFromControlsWithoutOwnUse_data() {
    QTest::addColumn<QString>("focus");
    QTest::newRow("list") << u"ListBox"_s;
    QTest::newRow("path box") << u"PathE"_s;
    QTest::newRow("check box") << u"VisSC"_s;
    QTest::newRow("denominator box") << u"DnmnE"_s;
}

void MainFormTest::enter_activatesChangeFromControlsWithoutOwnUse() {
    QFETCH(QString, focus);
    ui->clickRow(0);
    ui->numerator()->setText(u"7"_s);
    ui->widget<QWidget>(focus.toLatin1().constData())->setFocus(Qt::TabFocusReason);
    ui->key(Qt::Key_Return);
    QCOMPARE(ui->entries(), QList<QStringList>({{u"7"_s, QString()}}));
    QCOMPARE(QApplication::focusWidget(), ui->numerator());
}

void MainFormTest::enter_onAnotherButtonOrInTheMemo_doesNotCommit() {
    ui->addEntry(u"1"_s, u"2"_s);
    ui->widget<QPushButton>("MakeB")->setFocus(Qt::TabFocusReason);
    QVERIFY(!ui->change()->isDefault());
    ui->key(Qt::Key_Return);
    QCOMPARE(ui->rowCount(), 2);
    QVERIFY(ui->memo()->toPlainText().startsWith(u"<!-- 分数ここから -->\n"_s));

    ui->memo()->setFocus(Qt::TabFocusReason);
    QVERIFY(ui->change()->isDefault());
    ui->memo()->clear();
    ui->type(u"a"_s);
    ui->key(Qt::Key_Return);
    ui->type(u"b"_s);
    QCOMPARE(ui->memo()->toPlainText(), u"a\nb"_s);

    ui->numerator()->setFocus(Qt::TabFocusReason);
    ui->key(Qt::Key_Return, Qt::ShiftModifier);
    ui->key(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(ui->rowCount(), 2);
}

void MainFormTest::escape_leavesTheWindowOpen() {
    ui->key(Qt::Key_Escape);
    QVERIFY(ui->form->isVisible());
}

void MainFormTest::tab_followsTheLayoutOrderAndSkipsUnavailableControls() {
    const auto order = [this] {
        QStringList names;
        for (int i = 0; i < 12; ++i) {
            names << QApplication::focusWidget()->objectName();
            ui->key(Qt::Key_Tab);
        }
        return names;
    };
    ui->list()->setFocus(Qt::TabFocusReason);
    QCOMPARE(order().join(u' '),
             u"ListBox NmntE DnmnE OldPageSC MakeB CopyB Memo PathE VisSC FontB ListBox NmntE"_s);

    ui->addEntry(u"1"_s, u"2"_s);
    ui->clickRow(0);
    ui->click(ui->widget<QCheckBox>("VisSC"));
    QCOMPARE(order().join(u' '),
             u"VisSC ListBox NmntE DnmnE ChangeB DeleteB OldPageSC MakeB CopyB Memo PathE VisSC"_s);
}

void MainFormTest::editBoxes_selectAllWhenEnteredByKeyboardOnly() {
    ui->clickRow(0);
    ui->numerator()->setText(u"12"_s);
    ui->denominator()->setText(u"34"_s);
    ui->list()->setFocus(Qt::TabFocusReason);
    ui->key(Qt::Key_Tab);
    QCOMPARE(ui->numerator()->selectedText(), u"12"_s);
    ui->key(Qt::Key_Tab);
    ui->key(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(ui->numerator()->selectedText(), u"12"_s);

    QTest::mouseClick(ui->denominator(), Qt::LeftButton, {}, QPoint(3, 10));
    QVERIFY(ui->denominator()->hasFocus());
    QVERIFY(ui->denominator()->selectedText().isEmpty());
}

void MainFormTest::editBoxes_clickPlacesTheCaretAmongTheCharactersShown_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("short") << u"12"_s;
    QTest::newRow("300,000 mixed Japanese and Latin characters")
        << u"分数のテスト 1/2 + abc "_s.repeated(300'000 / 17);
}

void MainFormTest::editBoxes_clickPlacesTheCaretAmongTheCharactersShown() {
    QFETCH(QString, text);
    ui->clickRow(0);
    QLineEdit *box = ui->numerator();
    box->setText(text);
    QTest::mouseClick(box, Qt::LeftButton);
    ui->key(Qt::Key_End);
    // The box shows the end of the text: a click at its left edge lands a few dozen characters
    // before the end, and the input method is told of a caret inside the box.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    const qsizetype at = box->cursorPosition();
    QVERIFY2(at < text.size() && at >= std::max<qsizetype>(0, text.size() - 60),
             qPrintable(QString::number(at)));
    const QRect caret = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QVERIFY(box->rect().contains(caret.center()));
    ui->type(u"x"_s);
    QCOMPARE(box->text(), text.left(at) + u'x' + text.mid(at));
    // Text is drawn: some pixels are as dark as text.
    const QImage shown = box->grab().toImage();
    int dark = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            dark += qGray(shown.pixel(x, y)) < 96 ? 1 : 0;
        }
    }
    QVERIFY(dark > 10);
}

void MainFormTest::editBoxes_tellAnInputMethodWholeCharactersAroundTheCaret() {
    // Long enough that the input method is told of a stretch around the caret, whose ends fall
    // inside a surrogate pair for one caret position in three.
    const QString text = u"a😀"_s.repeated(1000);
    QLineEdit *box = ui->numerator();
    box->setText(text);
    for (int at = 0; at <= text.size(); at += text.at(at).isHighSurrogate() ? 2 : 1) {
        box->setCursorPosition(at);
        const QString around = box->inputMethodQuery(Qt::ImSurroundingText).toString();
        const int caret = box->inputMethodQuery(Qt::ImCursorPosition).toInt();
        QVERIFY2(around.isValidUtf16(), qPrintable(QString::number(at)));
        QVERIFY(text.left(at).endsWith(around.left(caret)));
        QVERIFY(text.mid(at).startsWith(around.mid(caret)));
        if (at == text.size()) {
            break;
        }
    }
    // A selection the input method makes far into the text takes the characters it was told of,
    // counted as Qt's Wayland input context counts them.
    QString numbers;
    for (int i = 0; i < 1000; ++i) {
        numbers += QString::number(i) + u' ';
    }
    box->setText(numbers);
    box->setCursorPosition(numbers.size() - 10);
    box->setFocus();
    QInputMethod *im = QGuiApplication::inputMethod();
    const QString told = im->queryFocusObject(Qt::ImSurroundingText, {}).toString();
    const int caret = im->queryFocusObject(Qt::ImCursorPosition, {}).toInt();
    const int from = im->queryFocusObject(Qt::ImAbsolutePosition, {}).toInt() - caret;
    QInputMethodEvent select({}, {{QInputMethodEvent::Selection, from + caret - 6, 6}});
    QApplication::sendEvent(box, &select);
    QCOMPARE(box->selectedText(), told.mid(caret - 6, 6));
    // Touch selection handles stand where a click puts the caret.
    const QPoint point(40, box->height() / 2);
    QTest::mouseClick(box, Qt::LeftButton, {}, point);
    QCOMPARE(im->queryFocusObject(Qt::ImCursorPosition, QPointF(point)).toInt(),
             box->cursorPosition());
}

namespace {

template <typename Edit>
concept TakesDisplaySettings = requires(Edit &edit) {
    edit.setPlaceholderText(QString());
    edit.setAlignment(Qt::AlignRight);
    edit.setEchoMode(QLineEdit::Password);
};

class PlainLineEdit final : public QLineEdit {
public:
    using QLineEdit::cursorRect;
    // Where Qt's line edit lays its text out, its margin left out.
    QRect contents() const {
        QStyleOptionFrame panel;
        initStyleOption(&panel);
        return style()
            ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
            .marginsRemoved(textMargins());
    }
};

} // namespace

void MainFormTest::editBoxes_standOnQtsLineEditAsItIs() {
    using Internals = toolkit::QtLineEditInternals;
    // It shows its text only as typed, from the left: the settings that would change that are
    // refused when the program is built.
    static_assert(TakesDisplaySettings<QLineEdit>);
    static_assert(!TakesDisplaySettings<toolkit::LongTextLineEdit>);

    QLineEdit *box = ui->numerator();
    PlainLineEdit plain;
    plain.setParent(box->parentWidget());
    plain.setGeometry(box->geometry());
    QVERIFY(Internals::lineControl(plain) != nullptr);
    const QString text = u"分子 1/2"_s;
    plain.setText(text);
    QTextLayout layout(text, plain.font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    for (int at = 0; at <= text.size(); ++at) {
        plain.setCursorPosition(at);
        QCOMPARE(plain.cursorRect().x() + Internals::CaretRectLead,
                 plain.contents().x() + Internals::HorizontalMargin + qRound(line.cursorToX(at)));
    }
    // Painted where Qt's line edit paints it.
    box->setText(text);
    ui->list()->setFocus();
    QCOMPARE(box->grab().toImage(), plain.grab().toImage());

    // The box stops the timer events of Qt's line control: those of the caret's blink alone.
    struct TimerEvents : QObject {
        QSet<int> timers;
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Timer) {
                timers.insert(static_cast<QTimerEvent *>(event)->timerId());
            }
            return false;
        }
    } seen;
    Internals::lineControl(plain)->installEventFilter(&seen);
    plain.show();
    plain.setFocus();
    QTest::qWait(QGuiApplication::styleHints()->cursorFlashTime() * 3 / 2);
    QCOMPARE(seen.timers.size(), 1);

    // Screen readers are told of the box as of Qt's line edit, but for its text attribute runs:
    // one over the whole text, where Qt's before 6.8 are empty; and for its words.
    QAccessibleInterface *told =
        toolkit::longTextLineEditAccessible(static_cast<toolkit::LongTextLineEdit *>(box));
    const QAccessible::Id toldId = QAccessible::registerAccessibleInterface(told);
    QAccessibleInterface *qts = QAccessible::queryAccessibleInterface(&plain);
    // By words and sentences Qt's own may never return, from a text's first character.
    const auto boundaries = {QAccessible::CharBoundary, QAccessible::LineBoundary};
    for (const QString &shown : {QString(), u"1"_s, u"./fracline.gif"_s, u"1/2. 𝑥 と\t3"_s}) {
        for (QLineEdit *edit : {box, static_cast<QLineEdit *>(&plain)}) {
            edit->setText(shown);
            edit->setSelection(shown.size(), -std::min<int>(shown.size(), 3));
        }
        QCOMPARE(told->role(), qts->role());
        const auto kind = [](QAccessible::State is) {
            return QList<bool>{bool(is.editable), bool(is.readOnly), bool(is.selectableText),
                               bool(is.focusable)};
        };
        QCOMPARE(kind(told->state()), kind(qts->state()));
        QCOMPARE(told->text(QAccessible::Value), qts->text(QAccessible::Value));
        QAccessibleTextInterface *ours = told->textInterface();
        QAccessibleTextInterface *theirs = qts->textInterface();
        QCOMPARE(ours->characterCount(), theirs->characterCount());
        QCOMPARE(ours->cursorPosition(), theirs->cursorPosition());
        QCOMPARE(ours->selectionCount(), theirs->selectionCount());
        int start[2], end[2];
        ours->selection(0, &start[0], &end[0]);
        theirs->selection(0, &start[1], &end[1]);
        QCOMPARE(std::pair(start[0], end[0]), std::pair(start[1], end[1]));
        for (int at = 0; at < shown.size(); ++at) {
            for (const auto boundary : boundaries) {
                QCOMPARE(ours->textBeforeOffset(at, boundary, &start[0], &end[0]),
                         theirs->textBeforeOffset(at, boundary, &start[1], &end[1]));
                QCOMPARE(ours->textAtOffset(at, boundary, &start[0], &end[0]),
                         theirs->textAtOffset(at, boundary, &start[1], &end[1]));
                QCOMPARE(std::pair(start[0], end[0]), std::pair(start[1], end[1]));
                QCOMPARE(ours->textAfterOffset(at, boundary, &start[0], &end[0]),
                         theirs->textAfterOffset(at, boundary, &start[1], &end[1]));
            }
            ours->attributes(at, &start[0], &end[0]);
            QCOMPARE(std::pair(start[0], end[0]), std::pair(0, int(shown.size())));
        }
        // Words and sentences as Qt finds them where its own search returns; the box's always
        // does, each next to the one at the offset.
        if (shown.startsWith(u'.')) {
            QCOMPARE(ours->textAtOffset(4, QAccessible::WordBoundary, &start[0], &end[0]),
                     theirs->textAtOffset(4, QAccessible::WordBoundary, &start[1], &end[1]));
        }
        for (int at = 0; at < shown.size(); ++at) {
            for (const auto item : {QAccessible::WordBoundary, QAccessible::SentenceBoundary}) {
                ours->textAtOffset(at, item, &start[0], &end[0]);
                QVERIFY(start[0] <= at && at < end[0]);
                ours->textBeforeOffset(at, item, &start[1], &end[1]);
                QCOMPARE(end[1], start[0]);
                ours->textAfterOffset(at, item, &start[1], &end[1]);
                QCOMPARE(start[1], end[0]);
            }
        }
        told->editableTextInterface()->replaceText(0, 1, u"9"_s);
        qts->editableTextInterface()->replaceText(0, 1, u"9"_s);
        QCOMPARE(box->text(), plain.text());
    }
    QAccessible::deleteAccessibleInterface(toldId);
}

void MainFormTest::make_writesTheTableOfTheCurrentEntries() {
    ui->addEntry(u"1"_s, u"2"_s);
    ui->addEntry(u"+"_s, QString());
    ui->memo()->setPlainText(u"typed by hand"_s);
    auto *path = ui->widget<QLineEdit>("PathE");
    path->selectAll();
    path->setFocus(Qt::TabFocusReason);
    ui->type(u"img/line%1.gif"_s);
    // For today's pages unless the user writes for old ones, as the first Make says; checking the
    // box makes the table again for them.
    ui->click(ui->widget<QPushButton>("MakeB"));
    QTRY_VERIFY(QToolTip::text().contains(u"「古いページ用」をオンに"_s));
    QCOMPARE(ui->memo()->toPlainText(),
             markup::tableText(fractions::EntryVector(
                                   std::vector<fractions::Entry>{{u"1"_s, u"2"_s}, {u"+"_s, {}}}),
                               {}, markup::PageMode::Standards));
    ui->click(ui->widget<QCheckBox>("OldPageSC"));
    const QString expected =
        u"<!-- 分数ここから -->\n"
        "<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\">\n"
        "<tr>\n<td align=\"center\">1</td>\n<td rowspan=\"3\">+</td>\n</tr>\n"
        "<tr>\n<td><img src=\"img/line%1.gif\" width=\"100%\" height=\"1\"></td>\n"
        "</tr>\n<tr>\n<td align=\"center\">2</td>\n</tr>\n</table>\n"
        "<!-- 分数ここまで -->\n"_s;
    QCOMPARE(ui->memo()->toPlainText(), expected);
    ui->click(ui->widget<QPushButton>("MakeB"));
    QCOMPARE(ui->memo()->toPlainText(), expected);
}

void MainFormTest::makeAgain_leavesThePaneAsAFirstMakeWould_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("an entry added") << u"add"_s;
    QTest::newRow("an entry deleted") << u"delete"_s;
    QTest::newRow("an entry changed") << u"change"_s;
    QTest::newRow("a hundred entries added") << u"add many"_s;
    QTest::newRow("the pane typed into") << u"type"_s;
}

void MainFormTest::makeAgain_leavesThePaneAsAFirstMakeWould() {
    QFETCH(QString, change);
    // Plain entries: lines that never wrap, so that the scroll bars compare exactly.
    fractions::FractionList entries(*ui->list());
    const auto add = [&entries](int count) {
        for (int i = 0; i < count; ++i) {
            entries.commit(entries.count() - 1, {u"entry %1"_s.arg(entries.count()), {}});
        }
    };
    add(70);
    ui->click(ui->widget<QCheckBox>("OldPageSC"));
    auto *memo = ui->memo();
    auto *make = ui->widget<QPushButton>("MakeB");
    ui->click(make);
    memo->verticalScrollBar()->setValue(memo->verticalScrollBar()->maximum());
    if (change == u"add") {
        add(1);
    } else if (change == u"delete") {
        entries.remove(30);
    } else if (change == u"change") {
        entries.commit(10, {u"changed"_s, {}});
    } else if (change == u"add many") {
        add(100);
    } else {
        memo->setFocus(Qt::MouseFocusReason);
        ui->type(u"x"_s);
    }
    const auto made = [memo] {
        return paneState(*memo) << memo->plainText()
                                << u"undo %1, redo %2, modified %3"_s
                                       .arg(memo->document()->isUndoAvailable())
                                       .arg(memo->document()->isRedoAvailable())
                                       .arg(memo->document()->isModified());
    };
    const QString before = memo->plainText();
    ui->click(make);
    QStringList again = made();
    if (change == u"type") {
        // The text typed into is one step of undo away, the new markup one of redo.
        QCOMPARE(again.takeLast(), u"undo 1, redo 0, modified 0"_s);
        QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(memo->plainText(), before);
        QTest::keyClick(memo, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(memo->plainText(), again.last());
        again << u"undo 0, redo 0, modified 0"_s;
    }
    memo->clear();
    ui->click(make);
    QCOMPARE(again, made());
}

void MainFormTest::paneMenu_makesTheOtherMarkupsAboveTheStandardItems_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("made");
    QTest::addColumn<int>("subitem");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("the table for HTML5 pages")
        << 0 << u"HTML5 ページ用に作成"_s
        << u"<!-- 分数ここから -->\n"
           u"<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\" role=\"math\" "
           u"aria-label=\"1/2 $\" style=\"width:auto;min-width:0;margin:0;border:0;"
           u"border-collapse:separate;border-spacing:0.25em 0;line-height:1.2\">\n<tr>\n"
           u"<td align=\"center\" style=\"text-align:center;vertical-align:bottom;padding:0 "
           u"0.1em;border:0\">1</td>\n<td rowspan=\"3\" style=\"vertical-align:middle;"
           u"padding:0 0.1em;border:0\">$</td>\n</tr>\n<tr>\n<td style=\"height:0;padding:0;"
           u"border:0;border-top:1px solid;line-height:0;font-size:0\"></td>\n</tr>\n<tr>\n"
           u"<td align=\"center\" style=\"text-align:center;vertical-align:top;padding:0 0.1em;"
           u"border:0\">2</td>\n</tr>\n</table>\n"
           u"<!-- 分数ここまで -->\n"_s
        << 0 << u"タグ（HTML5）"_s << QKeySequence(u"Ctrl+Shift+H"_s);
    QTest::newRow("MathML") << 1 << u"MathML で作成"_s
                            << u"<!-- 分数ここから -->\n<math display=\"block\">\n"
                               u"<mfrac><mn>1</mn><mn>2</mn></mfrac>\n<mtext>$</mtext>\n</math>\n"
                               u"<!-- 分数ここまで -->\n"_s
                            << 0 << u"タグ（MathML）"_s << QKeySequence(u"Ctrl+Shift+M"_s);
    // TeX で作成: a submenu of one item for each family of sites, the item's place in it.
    QTest::newRow("TeX for Zenn and note")
        << 2 << u"Zenn・note 用"_s << u"$$\n\\frac{1}{2} {\\char\"24}\n$$\n"_s << 0
        << u"タグ（TeX・Zenn）"_s << QKeySequence(u"Ctrl+Shift+N"_s);
    QTest::newRow("TeX for Qiita, GitHub and GitLab")
        << 2 << u"Qiita・GitHub・GitLab 用"_s << u"```math\n\\frac{1}{2} {\\$}\n```\n"_s << 1
        << u"タグ（TeX・Qiita）"_s << QKeySequence(u"Ctrl+Shift+Q"_s);
    QTest::newRow("TeX for Hatena Blog")
        << 2 << u"はてなブログ用（Markdown モード）"_s
        << u"<div>[tex:\\displaystyle \\frac{1}{2} {\\$}]</div>\n"_s << 2
        << u"タグ（TeX・はてな）"_s << QKeySequence(u"Ctrl+Shift+B"_s);
    QTest::newRow("TeX for Obsidian and VS Code")
        << 2 << u"Obsidian・VS Code など"_s << u"$$\n\\frac{1}{2} {\\$}\n$$\n"_s << 3
        << u"タグ（TeX）"_s << QKeySequence(u"Ctrl+Shift+K"_s);
    QTest::newRow("plain text") << 3 << u"テキストで作成"_s << u"½ $"_s << 0
                                << u"タグ（テキスト）"_s << QKeySequence(u"Ctrl+Shift+P"_s);
    QTest::newRow("picture: the pane kept") << 4 << u"画像としてコピー"_s << u"typed by hand"_s << 0
                                            << u"タグ"_s << QKeySequence(u"Ctrl+Shift+I"_s);
}

void MainFormTest::paneMenu_makesTheOtherMarkupsAboveTheStandardItems() {
    QFETCH(int, item);
    QFETCH(QString, text);
    QFETCH(QString, made);
    QFETCH(int, subitem);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, keys);
    ui->addEntry(u"1"_s, u"2"_s);
    ui->addEntry(u"$"_s, QString());
    ui->memo()->setPlainText(u"typed by hand"_s);
    // The event that a right click on the pane brings.
    const QPoint inPane(10, 10);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, inPane,
                                 ui->memo()->viewport()->mapToGlobal(inPane));
    QApplication::sendEvent(ui->memo()->viewport(), &rightClick);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    const auto items = menu->actions();
    std::unique_ptr<QMenu> standard(ui->memo()->createStandardContextMenu());
    QCOMPARE(items.size(), standard->actions().size() + 8);
    QVERIFY(items.at(5)->isSeparator() && items.at(7)->isSeparator());
    QCOMPARE(items.at(6)->text(), u"中線画像を保存…"_s);
    QCOMPARE(items.at(8)->text(), standard->actions().at(0)->text());

    for (int down = 0; down <= item; ++down) {
        QTest::keyClick(menu, Qt::Key_Down);
    }
    if (QMenu *submenu = items.at(item)->menu()) {
        QCOMPARE(menu->activeAction()->text(), u"TeX で作成"_s);
        QCOMPARE(submenu->font().family(), menu->font().family());
        QTest::keyClick(menu, Qt::Key_Return); // opens it on its first item
        menu = submenu;
        for (int down = 0; down < subitem; ++down) {
            QTest::keyClick(menu, Qt::Key_Down);
        }
    }
    QCOMPARE(menu->activeAction()->text(), text);
    QTest::keyClick(menu, Qt::Key_Return);
    QCOMPARE(ui->memo()->toPlainText(), made);
    QCOMPARE(ui->widget<QGroupBox>("TagP")->title(), caption);

    // The item's keys, shown in the menu, do the same from anywhere in the window.
    ui->memo()->setPlainText(u"typed by hand"_s);
    ui->numerator()->setFocus();
    QTest::keySequence(ui->numerator(), keys);
    QCOMPARE(ui->memo()->toPlainText(), made);
}

void MainFormTest::copy_putsThePaneWithCrLfOnTheClipboard() {
    ui->click(ui->widget<QCheckBox>("OldPageSC"));
    ui->click(ui->widget<QPushButton>("MakeB"));
    ui->memo()->moveCursor(QTextCursor::End);
    ui->memo()->setFocus(Qt::MouseFocusReason);
    ui->type(u"x"_s);
    ui->key(Qt::Key_Return, Qt::ShiftModifier);
    ui->type(u"y😀"_s);
    ui->click(ui->widget<QPushButton>("CopyB"));
    QCOMPARE(
        QGuiApplication::clipboard()->text(),
        u"<!-- 分数ここから -->\r\n<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\">\r\n"
        "<tr>\r\n</tr>\r\n<tr>\r\n</tr>\r\n<tr>\r\n</tr>\r\n</table>\r\n"
        "<!-- 分数ここまで -->\r\nx\r\ny😀"_s);
    QCOMPARE(ui->memo()->textCursor().selectedText().size(), ui->memo()->toPlainText().size());
}

void MainFormTest::copy_ofAnEmptyPane_makesTheTableFirst() {
    // By Copy's key, which its tooltip gives, from the list.
    QTest::keySequence(ui->list(), QKeySequence(u"Ctrl+Shift+C"_s));
    QTRY_COMPARE(QToolTip::text(), u"コピーしました"_s);
    QVERIFY(QGuiApplication::clipboard()->text().startsWith(u"<!-- 分数ここから -->\r\n"_s));
    QCOMPARE(ui->widget<QGroupBox>("TagP")->title(), u"タグ（HTML5）"_s);
}

// Beyond the model's sessions: Delete in the list, a form other than Make's, the captions.
void MainFormTest::pane_followsTheListUntilEditedByHand() {
    ui->addEntry(u"3"_s, u"4"_s);
    ui->addEntry(u"1"_s, u"2"_s);
    auto *memo = ui->memo();
    ui->widget<QAction>("MakeHtml5MI")->trigger();
    ui->clickRow(0);
    ui->key(Qt::Key_Delete);
    QVERIFY(memo->plainText().contains(u"aria-label=\"1/2\""_s));
    memo->setFocus(Qt::MouseFocusReason);
    ui->type(u"x"_s);
    auto *tag = ui->widget<QGroupBox>("TagP");
    QCOMPARE(tag->title(), u"タグ（HTML5：手で編集、リストと不一致）"_s);
    ui->key(Qt::Key_Z, Qt::ControlModifier); // the pane's own undo: still the user's
    ui->widget<QPushButton>("MakeB")->setFocus();
    ui->key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(ui->rowCount(), 3);
    QVERIFY(memo->plainText().contains(u"aria-label=\"1/2\""_s));
}

// Answers as the user would have: a path, having agreed to replace a file, or none.
struct PresetSaveDialog final : toolkit::SaveDialog {
    PresetSaveDialog(QString path, QString *told)
        : path(std::move(path))
        , told(told) {}
    QString choosePath(const QString &, const QString &name, const QString &) override {
        return path.isEmpty() ? path : path + name;
    }
    void tellFailure(const QString &, const QString &message) override { *told = message; }
    QString path;
    QString *told;
};

void MainFormTest::saveLineImage_writesTheGifWhereChosenOrSaysWhyNot_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("there");
    QTest::addColumn<bool>("written");
    QTest::newRow("a new file") << u"/"_s << QByteArray() << true;
    QTest::newRow("a file replaced") << u"/"_s << QByteArray("old") << true;
    QTest::newRow("a folder that is not there") << u"/missing/"_s << QByteArray() << false;
    QTest::newRow("cancelled") << QString() << QByteArray("old") << false;
}

void MainFormTest::saveLineImage_writesTheGifWhereChosenOrSaysWhyNot() {
    QFETCH(QString, folder);
    QFETCH(QByteArray, there);
    QFETCH(bool, written);
    QTemporaryDir dir;
    const QString file = dir.path() + u"/fracline.gif"_s;
    if (!there.isEmpty()) {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(there) == there.size());
    }
    QString told;
    ui = std::make_unique<WindowDriver>(
        TMainForm::FontChooserFactory{},
        std::make_unique<PresetSaveDialog>(folder.isEmpty() ? folder : dir.path() + folder, &told));
    // From the path box's menu, after the standard items.
    const QPoint inBox(5, 5);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, inBox,
                                 ui->widget("PathE")->mapToGlobal(inBox));
    QApplication::sendEvent(ui->widget("PathE"), &rightClick);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QTest::keyClick(menu, Qt::Key_Up);
    QTest::keyClick(menu, Qt::Key_Return);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    QCoreApplication::processEvents();
    QFile saved(file);
    const QByteArray bytes = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    if (written) {
        // GIF89a of 1 x 1 pixels, and that pixel black.
        QCOMPARE(bytes.left(10), QByteArray("GIF89a\x01\x00\x01\x00", 10));
        const QImage image = QImage::fromData(bytes, "GIF");
        QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0));
    } else {
        QCOMPARE(bytes, there);
    }
    QCOMPARE(told.isEmpty(), written || folder.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList(bytes.isEmpty() ? QStringList() : QStringList{u"fracline.gif"_s}));
}

void MainFormTest::pane_movesAndEditsAsWithOneParagraphALine_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<QKeySequence>("keys");
    // A selection an input method makes (start, length), counted from the start of the text it
    // was told; none where null.
    QTest::addColumn<QPoint>("imSelection");
    // Lines 0 to 63 share the pane's first paragraph, 64 to 127 its second.
    const auto row = [](const char *name, int line, const char *keys, QPoint imSelection = {}) {
        QTest::newRow(name) << line << QKeySequence(QString::fromLatin1(keys)) << imSelection;
    };
    row("over a line end", 5, "End, Right, Right");
    row("back over a line end", 6, "Left, Left, Home");
    row("down and up keep the column", 5, "Right, Right, Down, Up");
    row("over a paragraph end", 63, "End, Right, Down");
    row("select to the line end", 5, "Shift+End");
    row("select lines into the next paragraph", 62, "Shift+Down, Shift+Down, Shift+Down");
    row("select words over a line end", 5, "End, Ctrl+Shift+Right, Ctrl+Shift+Right");
    row("page down and up", 5, "PgDown, PgDown, PgUp");
    row("control with up and down", 40, "Ctrl+Down, Ctrl+Down, Ctrl+Up");
    row("to the end", 0, "Ctrl+End");
    row("enter splits a line", 62, "End, Return, Up");
    row("backspace joins two paragraphs", 64, "Backspace");
    row("delete joins two lines", 5, "End, Delete");
    row("undo", 5, "Return, X, Ctrl+Z, Ctrl+Z");
    row("redo", 63, "Return, Ctrl+Z, Ctrl+Shift+Z");
    row("an input method selects in a line far down", 70, "", QPoint(5, 6));
}

void MainFormTest::pane_movesAndEditsAsWithOneParagraphALine() {
    QFETCH(int, line);
    QFETCH(QKeySequence, keys);
    QFETCH(QPoint, imSelection);
    toolkit::MemoPane *memo = filledPane();
    QVERIFY(memo != nullptr);
    QCOMPARE(paneState(*memo), paneState(*reference));
    for (QPlainTextEdit *pane : {static_cast<QPlainTextEdit *>(memo), reference.get()}) {
        placeCaret(*pane, line * LineLength + 3);
        QTest::keySequence(pane, keys);
        if (!imSelection.isNull()) {
            // As Qt's Wayland input context counts; Qt's own pane, a paragraph a line, in the line.
            const int from = pane != memo
                                 ? 0
                                 : memo->inputMethodQuery(Qt::ImAbsolutePosition, {}).toInt() -
                                       memo->inputMethodQuery(Qt::ImCursorPosition, {}).toInt();
            QInputMethodEvent select(
                {}, {{QInputMethodEvent::Selection, from + imSelection.x(), imSelection.y()}});
            QApplication::sendEvent(pane, &select);
        }
    }
    QCOMPARE(paneState(*memo), paneState(*reference));
    QCOMPARE(memo->plainText(), reference->toPlainText());
}

void MainFormTest::pane_tripleClickSelectsLines_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("dragTo");
    QTest::newRow("one line in a paragraph") << 5 << 5;
    QTest::newRow("a paragraph's last line") << 63 << 63;
    QTest::newRow("dragged down into the next paragraph") << 62 << 65;
    QTest::newRow("dragged up into the previous paragraph") << 65 << 61;
    QTest::newRow("the last line") << 149 << 149;
}

void MainFormTest::pane_tripleClickSelectsLines() {
    QFETCH(int, line);
    QFETCH(int, dragTo);
    toolkit::MemoPane *memo = filledPane();
    QVERIFY(memo != nullptr);
    for (QPlainTextEdit *pane : {static_cast<QPlainTextEdit *>(memo), reference.get()}) {
        placeCaret(*pane, line * LineLength);
        pane->centerCursor();
        const auto pointOf = [pane](int l) {
            QTextCursor at(pane->document());
            at.setPosition(l * LineLength + 4);
            return pane->cursorRect(at).center();
        };
        const QPoint from = pointOf(line);
        const QPoint to = pointOf(dragTo);
        QTest::mouseDClick(pane->viewport(), Qt::LeftButton, {}, from);
        QTest::mousePress(pane->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(pane->viewport(), to);
        QTest::mouseRelease(pane->viewport(), Qt::LeftButton, {}, to);
    }
    QVERIFY(memo->textCursor().hasSelection());
    QCOMPARE(paneState(*memo), paneState(*reference));
}

void MainFormTest::pane_wrapsLongLinesAsQtDoes_data() {
    QTest::addColumn<QString>("text");
    const QString words = u"分数の テスト 1/2 + abc "_s.repeated(300);
    QTest::newRow("words") << words;
    QTest::newRow("Japanese without spaces") << u"分数のテスト"_s.repeated(1000);
    QTest::newRow("no place to break") << u"x"_s.repeated(20000);
    QTest::newRow("words, a long word, words") << words + u"y"_s.repeated(9000) + words;
    QTest::newRow("long words between spaces") << (u"z"_s.repeated(900) + u"  "_s).repeated(9);
    QTest::newRow("short lines around") << u"a\n  "_s + u"<span>"_s.repeated(2000) + u"\nb"_s;
}

void MainFormTest::pane_wrapsLongLinesAsQtDoes() {
    QFETCH(QString, text);
    toolkit::MemoPane *memo = filledPane();
    QVERIFY(memo != nullptr);
    const auto lineStarts = [](QPlainTextEdit &pane) {
        QList<int> starts;
        QTextDocument *doc = pane.document();
        for (QTextBlock block = doc->firstBlock(); block.isValid(); block = block.next()) {
            doc->documentLayout()->blockBoundingRect(block);
            for (int i = 0; i < block.layout()->lineCount(); ++i) {
                starts << block.position() + block.layout()->lineAt(i).textStart();
            }
        }
        return starts;
    };
    memo->replaceText(text);
    reference->setPlainText(text);
    QCOMPARE(lineStarts(*memo), lineStarts(*reference));
    // Every edit of the long line, as Qt lays it out again at once: typing in its middle, Delete
    // and Backspace at its start and end, splitting and joining it, a paste inside, undo, redo.
    QGuiApplication::clipboard()->setText(u"c d"_s);
    const auto edit = [&](QPlainTextEdit &pane, int step) {
        const QString shown = pane.toPlainText().replace(QChar::LineSeparator, u'\n');
        const qsizetype middle = shown.size() / 2;
        const qsizetype start = shown.lastIndexOf(u'\n', middle) + 1;
        const qsizetype end =
            shown.indexOf(u'\n', middle) < 0 ? shown.size() : shown.indexOf(u'\n', middle);
        const std::pair<qsizetype, const char *> steps[] = {
            {middle, "A, Space, B"},   {start, "Delete"},    {end, "Backspace"},
            {end, "Delete"},           {start, "Backspace"}, {middle, "Return"},
            {middle + 1, "Backspace"}, {middle, "Ctrl+V"},   {middle, "Ctrl+Z"},
            {middle, "Ctrl+Y"}};
        const auto [at, keys] = steps[step];
        placeCaret(pane, static_cast<int>(at));
        QTest::keySequence(&pane, QKeySequence(QString::fromLatin1(keys)));
    };
    for (int step = 0; step < 10; ++step) {
        edit(*memo, step);
        edit(*reference, step);
        QCOMPARE(paneState(*memo), paneState(*reference));
        QCOMPARE(lineStarts(*memo), lineStarts(*reference));
    }
    // The same on a line that Qt's layout would take minutes for, laid out at once.
    if (qstrcmp(QTest::currentDataTag(), "no place to break") == 0) {
        text = u"a\n"_s + text.repeated(25);
        memo->replaceText(text);
        lineStarts(*memo);
        QElapsedTimer timer;
        timer.start();
        for (int step = 0; step < 10; ++step) {
            edit(*memo, step);
            memo->viewport()->repaint();
        }
        QCOMPARE_LT(timer.elapsed(), 20'000);
    }
}

void MainFormTest::pane_keepsNoncharacters_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("pasted") << u"paste"_s;
    QTest::newRow("committed by an input method") << u"input method"_s;
    QTest::newRow("made from an entry") << u"make"_s;
}

void MainFormTest::pane_keepsNoncharacters() {
    QFETCH(QString, way);
    // Qt's text document uses U+FDD0 and U+FDD1 as marks; U+FDD2 is the pane's own stand-in.
    const QString text = u"a\ufdd0b\ufdd1c\ufdd2d"_s;
    auto *memo = ui->memo();
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (way == u"make") {
        ui->clickRow(0);
        ui->key(Qt::Key_Tab);
        clipboard->setText(text);
        ui->key(Qt::Key_V, Qt::ControlModifier);
        ui->key(Qt::Key_Return);
        ui->click(ui->widget<QPushButton>("MakeB"));
        QVERIFY(memo->plainText().contains(u"border:0\">"_s + text + u"</td>\n"_s));
    } else {
        memo->setFocus(Qt::MouseFocusReason);
        ui->type(u"x"_s);
        if (way == u"paste") {
            clipboard->setText(text);
            ui->key(Qt::Key_V, Qt::ControlModifier);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(memo, &commit);
        }
        ui->key(Qt::Key_Z, Qt::ControlModifier);
        ui->key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(memo->plainText(), u"x"_s + text);
        clipboard->clear();
        ui->key(Qt::Key_A, Qt::ControlModifier);
        ui->key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), u"x"_s + text);
    }
    ui->click(ui->widget<QPushButton>("CopyB"));
    QVERIFY(clipboard->text().contains(text));
}

void MainFormTest::inputMethod_commitsComposedTextUnchanged() {
    ui->clickRow(0);
    ui->numerator()->setFocus(Qt::TabFocusReason);
    QInputMethodEvent composing(u"ぶんし"_s, {});
    QApplication::sendEvent(ui->numerator(), &composing);
    QVERIFY(ui->numerator()->text().isEmpty());
    QInputMethodEvent commit;
    commit.setCommitString(u"分子𠮷"_s);
    QApplication::sendEvent(ui->numerator(), &commit);
    ui->key(Qt::Key_Return);
    QCOMPARE(ui->entries(), QList<QStringList>({{u"分子𠮷"_s, QString()}}));
}

void MainFormTest::screenReaders_nameEveryControlAndReadTheSample() {
    const auto name = [this](const char *control) {
        return QAccessible::queryAccessibleInterface(ui->widget<QWidget>(control))
            ->text(QAccessible::Name);
    };
    QCOMPARE(name("NmntE"), u"分子："_s);
    QCOMPARE(name("PathE"), u"中線画像パス："_s);
    QCOMPARE(name("ListBox"), u"分数リスト"_s);
    QCOMPARE(name("ChangeB"), u"変更"_s);
    QCOMPARE(name("VisSC"), u"サンプルを表示"_s);
    QCOMPARE(name("Image"), u"サンプル"_s);

    QCOMPARE(QAccessible::queryAccessibleInterface(ui->form.get())->role(), QAccessible::Window);
    auto *sample = QAccessible::queryAccessibleInterface(ui->widget<QWidget>("Image"));
    QCOMPARE(sample->role(), QAccessible::Graphic);

    ui->addEntry(u"1"_s, u"2"_s);
    ui->addEntry(u"+"_s, QString());
    ui->addEntry(u"3"_s, u"4"_s);
    QCOMPARE(sample->text(QAccessible::Description), u"1/2 + 3/4"_s);
}

void MainFormTest::qtsOwnTexts_areJapanese() {
    toolkit::installQtJapanese(*qApp);
    const QPoint at(5, 5);
    QStringList texts;
    QList<QStringList> menus;
    // Every context menu, the edit box's, the list's and the sample's, in the window's font, which
    // no other window of the process is made to take.
    for (QWidget *widget : {static_cast<QWidget *>(ui->numerator()),
                            ui->form->findChild<QAbstractScrollArea *>(u"ListBox"_s)->viewport(),
                            ui->form->findChild<QWidget *>(u"Image"_s)}) {
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &rightClick);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY2(menu != nullptr, qPrintable(widget->objectName()));
        menus.append(QStringList());
        for (const QAction *action : menu->actions()) {
            texts << action->text();
            menus.back() << action->text().section(u'\t', 0, 0);
        }
        QCOMPARE(QFontInfo(menu->font()).family(), QFontInfo(ui->form->font()).family());
        menu->close();
    }
    QVERIFY2(texts.join(u' ').contains(u"すべてを選択"_s), qPrintable(texts.join(u' ')));
    // The list's items are the edit box's, in Qt's own words, but for its own new list.
    QVERIFY(menus[1].removeOne(u"新しいリスト(&N)"_s));
    for (const QString &text : menus[1]) {
        QVERIFY2(menus[0].contains(text), qPrintable(text));
    }
    QVERIFY(QApplication::font("QMenu") != ui->form->font());
}

void MainFormTest::styleImages_preloadedLeavePluginFormatsReadable() {
    const QStringList pluginDirectories = QCoreApplication::libraryPaths();
    toolkit::preloadStyleImages();
    QCOMPARE(QCoreApplication::libraryPaths(), pluginDirectories);
    // JPEG comes from a plugin, which must still be found afterwards.
    QVERIFY(QImageReader::supportedImageFormats().contains("jpeg"));
}

QTEST_MAIN(MainFormTest)
#include "test_mainform.moc"
