#include "samplefixture.h"
#include "toolkit/qt/qtcontrols.h"
#include "toolkit/widgets/fontchooserdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QTimer>

#include <functional>

using toolkit::FontChooserDialog;
using Action = std::function<void(FontChooserDialog &)>;

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(toolkit::Font)

namespace {

template <typename W> W *part(FontChooserDialog &dialog, const char16_t *name) {
    W *found = dialog.findChild<W *>(QString::fromUtf16(name));
    Q_ASSERT(found != nullptr);
    return found;
}

void clickItem(QListWidget *list, const QString &text) {
    const QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!items.isEmpty(), qPrintable(text));
    list->scrollToItem(items.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items.first()).center());
}

// Picks an entry of a list box with the arrow keys.
void pick(QComboBox *box, const char16_t *name) {
    QTest::keyClick(box, Qt::Key_Home);
    while (box->currentText() != QString::fromUtf16(name) &&
           box->currentIndex() < box->count() - 1) {
        QTest::keyClick(box, Qt::Key_Down);
    }
    QCOMPARE(box->currentText(), QString::fromUtf16(name));
}

void press(FontChooserDialog &dialog, QDialogButtonBox::StandardButton button) {
    QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(button), Qt::LeftButton);
}

toolkit::Font font(const QString &family, int pixelSize, const QColor &color,
                   QFontDatabase::WritingSystem script) {
    QFont face(family);
    face.setPixelSize(pixelSize);
    return {face, color, script};
}

QString describe(const toolkit::Font &font) {
    const QFont &f = font.face;
    return QStringLiteral("%1 %2px%3%4%5%6 %7 script %8")
        .arg(f.family())
        .arg(f.pixelSize())
        .arg(f.weight() > QFont::Normal ? QStringLiteral(" bold") : QString())
        .arg(f.italic() ? QStringLiteral(" italic") : QString())
        .arg(f.underline() ? QStringLiteral(" underline") : QString())
        .arg(f.strikeOut() ? QStringLiteral(" strike-out") : QString())
        .arg(font.color.name())
        .arg(font.script);
}

const QString Dejavu = QStringLiteral("DejaVu Sans");
const QColor Slate(0x12, 0x34, 0x56);
// A face that has no Japanese, with a colour from outside the classic list: what the chooser
// shows for them when it opens cannot stand for them.
const toolkit::Font Initial = font(Dejavu, 19, Slate, QFontDatabase::Japanese);

} // namespace

class TestFontChooser : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { toolkit::setUpProcess(); }
    void init();
    void cleanup();

    void confirm_data();
    void confirm();
    void cancel_keepsTheFont();
    void nextOpening_startsFromTheChosenFont();
    void fontButton_makesTheChooserAndRedrawsInTheChosenColour();

private:
    // Does `answer` in the next chooser that shows; a chooser still open after a while is
    // closed, so that a failing test cannot hang.
    void answerNextChooser(const Action &answer);

    QTimer failSafe_;
    bool answered_ = false;
};

void TestFontChooser::init() {
    answered_ = false;
    failSafe_.setSingleShot(true);
    failSafe_.setInterval(5000);
    connect(&failSafe_, &QTimer::timeout, this, [] {
        if (QWidget *open = QApplication::activeModalWidget()) {
            open->close();
        }
    });
}

void TestFontChooser::cleanup() {
    failSafe_.stop();
    failSafe_.disconnect();
    QVERIFY(answered_);
}

void TestFontChooser::answerNextChooser(const Action &answer) {
    QTimer::singleShot(0, this, [this, answer] {
        auto *dialog = qobject_cast<FontChooserDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("フォント"));
        answered_ = true;
        answer(*dialog);
    });
    failSafe_.start();
}

void TestFontChooser::confirm_data() {
    QTest::addColumn<Action>("choose");
    QTest::addColumn<toolkit::Font>("expected");

    QTest::newRow("untouched colour and script are kept")
        << Action([](FontChooserDialog &) {}) << Initial;

    toolkit::Font styled = Initial;
    styled.face.setPixelSize(24);
    styled.face.setWeight(QFont::Bold);
    styled.face.setItalic(true);
    styled.face.setUnderline(true);
    styled.face.setStrikeOut(true);
    QTest::newRow("style, size, underline and strike-out are taken")
        << Action([](FontChooserDialog &dialog) {
               clickItem(part<QListWidget>(dialog, u"styleList"), QStringLiteral("太字 斜体"));
               QLineEdit *size = part<QComboBox>(dialog, u"sizeBox")->lineEdit();
               size->selectAll();
               QTest::keyClicks(size, QStringLiteral("24"));
               QTest::keyClick(part<QCheckBox>(dialog, u"underlineBox"), Qt::Key_Space);
               QTest::keyClick(part<QCheckBox>(dialog, u"strikeOutBox"), Qt::Key_Space);
           })
        << styled;

    QTest::newRow("a picked colour is taken") << Action([](FontChooserDialog &dialog) {
        pick(part<QComboBox>(dialog, u"colorBox"), u"赤");
    }) << font(Dejavu, 19, Qt::red, QFontDatabase::Japanese);
    QTest::newRow("a picked script is taken") << Action([](FontChooserDialog &dialog) {
        pick(part<QComboBox>(dialog, u"scriptBox"), u"ギリシャ語");
    }) << font(Dejavu, 19, Slate, QFontDatabase::Greek);
    // The new face offers the script the list showed for the old one.
    QTest::newRow("another face brings the script the list shows")
        << Action([](FontChooserDialog &dialog) {
               clickItem(part<QListWidget>(dialog, u"faceList"), QStringLiteral("IPAPGothic"));
               QCOMPARE(part<QComboBox>(dialog, u"scriptBox")->currentText(),
                        QStringLiteral("欧文"));
           })
        << font(QStringLiteral("IPAPGothic"), 19, Slate, QFontDatabase::Latin);
}

void TestFontChooser::confirm() {
    QFETCH(Action, choose);
    QFETCH(toolkit::Font, expected);
    QWidget window;
    toolkit::QtFontChooser chooser(Initial, &window);
    answerNextChooser([&](FontChooserDialog &dialog) {
        choose(dialog);
        press(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(chooser.execute());
    QCOMPARE(describe(chooser.currentFont()), describe(expected));
    // A new colour scheme reaches the font unless the user picked its colour.
    const QColor schemeText(0x20, 0x40, 0x10);
    const bool picked = expected.color != Initial.color;
    QCOMPARE(chooser.followWindowText(schemeText), !picked);
    QCOMPARE(chooser.currentFont().color, picked ? expected.color : schemeText);
}

void TestFontChooser::cancel_keepsTheFont() {
    QWidget window;
    toolkit::QtFontChooser chooser(Initial, &window);
    answerNextChooser([](FontChooserDialog &dialog) {
        clickItem(part<QListWidget>(dialog, u"faceList"), QStringLiteral("IPAPGothic"));
        pick(part<QComboBox>(dialog, u"colorBox"), u"赤");
        press(dialog, QDialogButtonBox::Cancel);
    });
    QVERIFY(!chooser.execute());
    QCOMPARE(describe(chooser.currentFont()), describe(Initial));
}

void TestFontChooser::nextOpening_startsFromTheChosenFont() {
    QWidget window;
    toolkit::QtFontChooser chooser(Initial, &window);
    answerNextChooser([](FontChooserDialog &dialog) {
        clickItem(part<QListWidget>(dialog, u"styleList"), QStringLiteral("太字"));
        QLineEdit *size = part<QComboBox>(dialog, u"sizeBox")->lineEdit();
        size->selectAll();
        QTest::keyClicks(size, QStringLiteral("24"));
        pick(part<QComboBox>(dialog, u"colorBox"), u"赤");
        press(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(chooser.execute());
    toolkit::Font chosen = chooser.currentFont();

    answerNextChooser([](FontChooserDialog &dialog) {
        QCOMPARE(part<QListWidget>(dialog, u"faceList")->currentItem()->text(), Dejavu);
        QCOMPARE(part<QListWidget>(dialog, u"styleList")->currentItem()->text(),
                 QStringLiteral("太字"));
        QCOMPARE(part<QComboBox>(dialog, u"sizeBox")->currentText(), QStringLiteral("24"));
        QCOMPARE(part<QComboBox>(dialog, u"colorBox")->currentText(), QStringLiteral("赤"));
        // The colour the ink followed before, picked again: it follows again.
        pick(part<QComboBox>(dialog, u"colorBox"), u"ウィンドウの文字色");
        press(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(chooser.execute());
    chosen.color = Initial.color;
    QCOMPARE(describe(chooser.currentFont()), describe(chosen));
    QVERIFY(chooser.followWindowText(Qt::darkGreen));
}

void TestFontChooser::fontButton_makesTheChooserAndRedrawsInTheChosenColour() {
    WindowDriver ui;
    QVERIFY(ui.active);
    const TMainForm &form = *ui.form;
    // Start-up does not pay for the chooser.
    QVERIFY(form.findChild<FontChooserDialog *>() == nullptr);
    samplefixture::addEntries(form, {{QStringLiteral("1"), QStringLiteral("2")}});

    answerNextChooser([](FontChooserDialog &dialog) {
        QCOMPARE(part<QComboBox>(dialog, u"sizeBox")->currentText(), QStringLiteral("19"));
        pick(part<QComboBox>(dialog, u"colorBox"), u"赤");
        press(dialog, QDialogButtonBox::Ok);
    });
    ui.click(ui.widget<QPushButton>("FontB"));

    const QImage shown = samplefixture::picture(form);
    const int barRow = preview::TopMargin + samplefixture::pitchOf(form).rowPitch - 1;
    QVERIFY(samplefixture::isBlack(shown.pixel(preview::LeftMargin, barRow)));
    bool red = false;
    for (int y = 0; y < barRow; ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QColor pixel = shown.pixelColor(x, y);
            red =
                red || (pixel.red() == 255 && pixel.green() == pixel.blue() && pixel.blue() < 128);
        }
    }
    QVERIFY(red);
}

QTEST_MAIN(TestFontChooser)
#include "test_fontchooser.moc"
