#include "samplefixture.h"
#include "toolkit/text.h"

#include <QClipboard>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <functional>

using namespace Qt::StringLiterals;

using fractions::Entry;
using preview::LeftMargin;
using preview::TopMargin;
using namespace samplefixture;

namespace {

// Answers the font chooser as the test has set it up, without showing anything.
struct ChooserAnswer {
    bool confirm = false;
    toolkit::Font font;
};

class PresetChooser final : public toolkit::FontChooser {
public:
    PresetChooser(const toolkit::Font &initial, const ChooserAnswer &answer)
        : current_(initial)
        , answer_(answer) {}
    toolkit::Font currentFont() const override { return current_; }
    bool execute() override {
        if (answer_.confirm) {
            current_ = answer_.font;
        }
        return answer_.confirm;
    }
    bool followWindowText(const QColor &windowText) override {
        current_.color = windowText;
        return true;
    }
    bool inWindowText() const override { return false; }
    void restore(const toolkit::Font &font, bool) override { current_ = font; }

private:
    toolkit::Font current_;
    const ChooserAnswer &answer_;
};

QImage pictureOf(const std::vector<Entry> &entries) {
    TMainForm form;
    addEntries(form, entries);
    return picture(form);
}

QRect rows(int first, int end) {
    return {0, first, 277, end - first};
}

// Describes the first pixel of row `y` that is not black exactly where `inBar` says, skipping
// the columns that `skip` names; empty when the row is right.
QString barRowMismatch(
    const QImage &image, int y, const std::function<bool(int)> &inBar,
    const std::function<bool(int)> &skip = [](int) { return false; }) {
    for (int x = 0; x < image.width(); ++x) {
        if (!skip(x) && isBlack(image.pixel(x, y)) != inBar(x)) {
            return QStringLiteral("pixel (%1, %2) is %3")
                .arg(x)
                .arg(y)
                .arg(image.pixel(x, y), 0, 16);
        }
    }
    return {};
}

} // namespace

class TestSample : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void picture_isWhite_data();
    void picture_isWhite();
    void plainEntry_standsHalfARowPitchBelowNumerators();
    void fraction_centresTextsOverItsBar_data();
    void fraction_centresTextsOverItsBar();
    void neighbours_standOnePixelApart();
    void row_isCutOffAtTheRightEdge();
    void tallFont_isCutOffAtTheBottomEdge();
    void fontChooser_data();
    void fontChooser();
    void hiddenSample_drawsNothingUntilShownAgain();
    void doubleDensity_drawsTheBarAtDevicePixels();
    void picturePng_keepsEveryPixel();
    void newScreenOrPalette_redrawsAsAWindowStartedThere();
    void longTexts_areRememberedOnlyWhileAnEntryHoldsThem();

private:
    ChooserAnswer answer_;
    std::unique_ptr<WindowDriver> ui_;
};

void TestSample::initTestCase() {
    toolkit::setUpProcess();
}

void TestSample::init() {
    answer_ = {};
    ui_ = std::make_unique<WindowDriver>([this](const toolkit::Font &initial, QWidget *) {
        return std::make_unique<PresetChooser>(initial, answer_);
    });
    QVERIFY(ui_->active);
}

void TestSample::cleanup() {
    ui_.reset();
}

void TestSample::picture_isWhite_data() {
    QTest::addColumn<bool>("deleteAnEntry");
    QTest::newRow("after start-up") << false;
    QTest::newRow("after the only entry is deleted") << true;
}

void TestSample::picture_isWhite() {
    QFETCH(bool, deleteAnEntry);
    if (deleteAnEntry) {
        ui_->addEntry(QStringLiteral("1"), QStringLiteral("2"));
        QVERIFY(!allWhite(picture(*ui_->form), rows(0, 77)));
        ui_->clickRow(0);
        ui_->click(ui_->remove());
        QCOMPARE(ui_->rowCount(), 1);
    }
    const QImage shown = picture(*ui_->form);
    QCOMPARE(shown.size(), QSize(277, 77));
    QVERIFY(allWhite(shown, rows(0, 77)));
}

void TestSample::plainEntry_standsHalfARowPitchBelowNumerators() {
    const Pitch pitch = pitchOf(*ui_->form);
    const QImage plain = pictureOf({{QStringLiteral("1"), QString()}});
    const QImage fraction = pictureOf({{QStringLiteral("1"), QStringLiteral("1")}});
    const QRect numeratorRows = rows(0, TopMargin + pitch.textHeight);

    QVERIFY(!allWhite(fraction, numeratorRows));
    QCOMPARE(fraction.copy(numeratorRows), shifted(plain, 0, -pitch.plainDrop).copy(numeratorRows));

    // The text cell's top-left corner is where the text is drawn, as Qt places a text cell.
    QImage reference(277, 77, QImage::Format_RGB32);
    reference.fill(Qt::white);
    QPainter painter(&reference);
    QFont font(QString::fromUtf16(toolkit::LayoutFaceName));
    font.setPixelSize(19);
    painter.setFont(font);
    painter.drawText(QRect(LeftMargin, TopMargin + pitch.plainDrop, 100, 50),
                     Qt::AlignLeft | Qt::AlignTop, QStringLiteral("1"));
    painter.end();
    QCOMPARE(plain, reference);
}

void TestSample::fraction_centresTextsOverItsBar_data() {
    QTest::addColumn<QString>("numerator");
    QTest::addColumn<QString>("denominator");
    // "x" and "12" differ in width by an odd number of pixels in the sample's font.
    QTest::newRow("odd leftover goes right of the narrower numerator")
        << QStringLiteral("x") << QStringLiteral("12");
    QTest::newRow("wider numerator sets the bar, odd leftover right of the denominator")
        << QStringLiteral("12") << QStringLiteral("x");
    QTest::newRow("empty numerator leaves bar and denominator")
        << QString() << QStringLiteral("22");
}

void TestSample::fraction_centresTextsOverItsBar() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    const Pitch pitch = pitchOf(*ui_->form);
    const int wN = widthOf(*ui_->form, numerator);
    const int wD = widthOf(*ui_->form, denominator);
    const int width = std::max(wN, wD);
    if (QByteArray(QTest::currentDataTag()).contains("odd")) {
        QVERIFY2(std::abs(wD - wN) % 2 == 1, "the texts must differ in width by an odd number");
    }
    const QImage fraction = pictureOf({{numerator, denominator}});

    const QRect numeratorRows = rows(0, TopMargin + pitch.textHeight + 1);
    const QImage numeratorAlone =
        numerator.isEmpty() ? pictureOf({}) : pictureOf({{numerator, {}}});
    QCOMPARE(fraction.copy(numeratorRows),
             shifted(numeratorAlone, (width - wN) / 2, -pitch.plainDrop).copy(numeratorRows));

    const int barRow = TopMargin + pitch.rowPitch - 1;
    const QString mismatch = barRowMismatch(
        fraction, barRow, [&](int x) { return x >= LeftMargin && x < LeftMargin + width; });
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));

    const QRect denominatorRows = rows(barRow + 1, 77);
    QCOMPARE(
        fraction.copy(denominatorRows),
        shifted(pictureOf({{denominator, {}}}), (width - wD) / 2, pitch.rowPitch - pitch.plainDrop)
            .copy(denominatorRows));
}

void TestSample::neighbours_standOnePixelApart() {
    const Entry half{QStringLiteral("1"), QStringLiteral("2")};
    const Entry plus{QStringLiteral("+"), QString()};
    const Entry threeQuarters{QStringLiteral("3"), QStringLiteral("4")};
    const int halfWidth =
        std::max(widthOf(*ui_->form, half.numerator), widthOf(*ui_->form, half.denominator));
    const int plusAt = LeftMargin + halfWidth + 1;
    const int quartersAt = plusAt + widthOf(*ui_->form, plus.numerator) + 1;
    const int quartersEnd = quartersAt + std::max(widthOf(*ui_->form, threeQuarters.numerator),
                                                  widthOf(*ui_->form, threeQuarters.denominator));
    const QImage row = pictureOf({half, plus, threeQuarters});

    // The "+" may cross the bar row; its columns are checked against the "+" drawn alone.
    const QString mismatch = barRowMismatch(
        row, TopMargin + pitchOf(*ui_->form).rowPitch - 1,
        [&](int x) {
            return (x >= LeftMargin && x < LeftMargin + halfWidth) ||
                   (x >= quartersAt && x < quartersEnd);
        },
        [&](int x) { return x >= plusAt && x < quartersAt; });
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    const QRect plusColumns(plusAt, 0, quartersAt - plusAt, 77);
    QCOMPARE(row.copy(plusColumns),
             shifted(pictureOf({plus}), plusAt - LeftMargin, 0).copy(plusColumns));
    const QRect quartersColumns(quartersAt, 0, 277 - quartersAt, 77);
    QCOMPARE(row.copy(quartersColumns),
             shifted(pictureOf({threeQuarters}), quartersAt - LeftMargin, 0).copy(quartersColumns));
}

void TestSample::row_isCutOffAtTheRightEdge() {
    const Entry entry{QStringLiteral("12"), QStringLiteral("345")};
    const int width =
        std::max(widthOf(*ui_->form, entry.numerator), widthOf(*ui_->form, entry.denominator));
    const int count = 277 / (width + 1) + 2;
    addEntries(*ui_->form, std::vector<Entry>(static_cast<size_t>(count), entry));
    const QImage shown = picture(*ui_->form);
    const Pitch pitch = pitchOf(*ui_->form);

    // Every bar up to the edge is where it belongs, the last one cut off by the edge.
    QVERIFY((width + 1) * count > 277);
    const QString mismatch = barRowMismatch(shown, TopMargin + pitch.rowPitch - 1, [&](int x) {
        return x >= LeftMargin && (x - LeftMargin) % (width + 1) < width;
    });
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QVERIFY(!allWhite(shown, QRect(276, 0, 1, 77)));
    // Nothing wraps into a second row.
    QVERIFY(allWhite(shown, rows(TopMargin + pitch.rowPitch + pitch.textHeight, 77)));
    // A long text is cut short unless some of it is written from right to left, whose start is
    // drawn at the right: Phoenician and Adlam letters are that too.
    QVERIFY(toolkit::hasRightToLeft(u"1 \U00010900"_s) && toolkit::hasRightToLeft(u"\U0001E900"_s));
    QCOMPARE(pictureOf({{u"x"_s + u"\u05d0"_s.repeated(3000) + u"12"_s, {}}}),
             pictureOf({{u"x"_s + u"\u05d0"_s.repeated(300) + u"12"_s, {}}}));

    // Its copied picture, the sample hidden, holds the whole row at twice the pixels.
    ui_->click(ui_->widget<QCheckBox>("VisSC"));
    ui_->form->findChild<QAction *>(u"CopyImageMI"_s)->trigger();
    const QImage copied =
        QImage::fromData(QGuiApplication::clipboard()->mimeData()->data(u"image/png"_s));
    const int rowEnd = LeftMargin + (width + 1) * count - 1;
    QCOMPARE(copied.size(),
             QSize(rowEnd + LeftMargin, 2 * TopMargin + 2 * pitch.textHeight + 2) * 2);
    QCOMPARE(barRowMismatch(copied, 2 * (TopMargin + pitch.rowPitch) - 1,
                            [&](int x) {
                                return x / 2 >= LeftMargin && x / 2 < rowEnd &&
                                       (x / 2 - LeftMargin) % (width + 1) < width;
                            }),
             QString());
}

void TestSample::tallFont_isCutOffAtTheBottomEdge() {
    toolkit::Font tall;
    tall.face = QFont(QString::fromUtf16(toolkit::LayoutFaceName));
    tall.face.setPixelSize(40);
    answer_ = {true, tall};
    ui_->click(ui_->widget<QPushButton>("FontB"));
    const Entry eights{QStringLiteral("8"), QStringLiteral("8")};
    addEntries(*ui_->form, {eights});
    const QImage shown = picture(*ui_->form);
    const Pitch pitch = pitchOf(*ui_->form);
    const int width = widthOf(*ui_->form, eights.denominator);
    const int barRow = TopMargin + pitch.rowPitch - 1;

    QVERIFY(barRow < 77 && TopMargin + pitch.rowPitch + pitch.textHeight > 77);
    const QString mismatch = barRowMismatch(
        shown, barRow, [&](int x) { return x >= LeftMargin && x < LeftMargin + width; });
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QVERIFY(!allWhite(shown, QRect(LeftMargin, 76, width, 1)));
}

void TestSample::fontChooser_data() {
    QTest::addColumn<bool>("confirm");
    QTest::newRow("confirmed red font: red texts, black bars") << true;
    QTest::newRow("cancelled: the same picture") << false;
}

void TestSample::fontChooser() {
    QFETCH(bool, confirm);
    const std::vector<Entry> entries{{QStringLiteral("1"), QStringLiteral("2")},
                                     {QStringLiteral("+"), QString()},
                                     {QStringLiteral("3"), QStringLiteral("4")}};
    addEntries(*ui_->form, entries);
    const QImage before = picture(*ui_->form);
    toolkit::Font red;
    red.face = QFont(QString::fromUtf16(toolkit::LayoutFaceName));
    red.face.setPixelSize(19);
    red.color = Qt::red;
    answer_ = {confirm, red};
    ui_->click(ui_->widget<QPushButton>("FontB"));
    const QImage after = picture(*ui_->form);

    if (!confirm) {
        QCOMPARE(after, before);
        return;
    }
    const int barRow = TopMargin + pitchOf(*ui_->form).rowPitch - 1;
    int redPixels = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            const QColor pixel = after.pixelColor(x, y);
            if (y == barRow && isBlack(before.pixel(x, y))) {
                QVERIFY2(isBlack(after.pixel(x, y)), "a bar pixel is not black");
            } else if (!isWhite(after.pixel(x, y))) {
                QVERIFY2(pixel.red() == 255 && pixel.green() == pixel.blue(),
                         qPrintable(pixel.name()));
                ++redPixels;
            }
        }
    }
    QVERIFY(redPixels > 0);
}

void TestSample::hiddenSample_drawsNothingUntilShownAgain() {
    auto *visSC = ui_->widget<QCheckBox>("VisSC");
    auto *image = ui_->widget<QWidget>("Image");
    auto *fontB = ui_->widget<QPushButton>("FontB");
    ui_->addEntry(QStringLiteral("1"), QStringLiteral("2"));
    const QImage shown = picture(*ui_->form);
    QCOMPARE(shown, pictureOf({{QStringLiteral("1"), QStringLiteral("2")}}));

    ui_->click(visSC);
    QVERIFY(!visSC->isChecked());
    QVERIFY(image->isHidden());
    QVERIFY(fontB->isHidden());
    ui_->addEntry(QStringLiteral("3"), QStringLiteral("4"));
    QCOMPARE(ui_->rowCount(), 3);
    QCOMPARE(picture(*ui_->form), shown);

    ui_->click(visSC);
    QVERIFY(image->isVisible());
    QVERIFY(fontB->isVisible());
    QCOMPARE(picture(*ui_->form), pictureOf({{QStringLiteral("1"), QStringLiteral("2")},
                                             {QStringLiteral("3"), QStringLiteral("4")}}));
}

void TestSample::doubleDensity_drawsTheBarAtDevicePixels() {
    toolkit::QtSurface surface(277, 77, nullptr, 2.0);
    surface.moveTo(4, 30);
    surface.lineTo(14, 30);
    const QImage &image = surface.picture();
    QCOMPARE(image.size(), QSize(554, 154));
    for (const int y : {59, 60, 61, 62}) {
        const bool bar = y == 60 || y == 61;
        QCOMPARE(barRowMismatch(image, y, [bar](int x) { return bar && x >= 8 && x < 28; }),
                 QString());
    }
    // At 1.5 the device pixels wholly inside the bar's pixels: one row, never a grey one.
    surface.setDevicePixelRatio(1.5);
    surface.fillWhite();
    surface.moveTo(4, 30);
    surface.lineTo(14, 30);
    for (const int y : {44, 45, 46}) {
        QCOMPARE(barRowMismatch(surface.picture(), y,
                                [y](int x) { return y == 45 && x >= 6 && x < 21; }),
                 QString());
    }
}

// With a palette, or past 256 colours without.
void TestSample::picturePng_keepsEveryPixel() {
    for (const int colors : {3, 300}) {
        QImage picture(colors, 2, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (int x = 0; x < colors; ++x) {
            picture.setPixel(x, 1, qRgb(x % 256, x / 256, 7));
        }
        QCOMPARE(QImage::fromData(toolkit::pngOf(picture)).convertToFormat(picture.format()),
                 picture);
    }
}

void TestSample::newScreenOrPalette_redrawsAsAWindowStartedThere() {
    const std::vector<Entry> entries{{u"1"_s, u"2"_s}, {u"+"_s, {}}, {u"34"_s, u"5"_s}};
    addEntries(*ui_->form, entries);
    const QImage single = picture(*ui_->form);
    const auto startedOn = [&](QScreen *screen) {
        auto form = std::make_unique<TMainForm>();
        form->setScreen(screen);
        form->move(screen->geometry().topLeft());
        form->show();
        std::ignore = QTest::qWaitFor(
            [&] { return picture(*form).devicePixelRatio() == screen->devicePixelRatio(); });
        addEntries(*form, entries);
        return form;
    };
    QScreen *doubled = QGuiApplication::screens().value(1);
    QVERIFY(doubled != nullptr && doubled->devicePixelRatio() == 2);
    ui_->form->windowHandle()->setScreen(doubled);
    QTRY_COMPARE(picture(*ui_->form).size(), QSize(554, 154));
    QCOMPARE(picture(*ui_->form), picture(*startedOn(doubled)));
    ui_->form->windowHandle()->setScreen(QGuiApplication::primaryScreen());

    // A new colour scheme: the sample's texts (no colour was picked) and the list's and the pane's
    // selection colours are those of a window started with it.
    const QPalette before = QApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
    QPalette scheme = before;
    scheme.setColor(QPalette::WindowText, QColor(0x10, 0x50, 0x20));
    scheme.setColor(QPalette::Highlight, QColor(0x80, 0x20, 0x90));
    scheme.setColor(QPalette::Inactive, QPalette::Highlight, Qt::gray);
    scheme.setColor(QPalette::Base, QColor(0xf0, 0xe0, 0xd0));
    QApplication::setPalette(scheme);
    QTRY_VERIFY(picture(*ui_->form).devicePixelRatio() == 1 && picture(*ui_->form) != single);
    const auto started = startedOn(QGuiApplication::primaryScreen());
    QCOMPARE(picture(*ui_->form), picture(*started));
    const auto inactive = [](const QWidget *w, QPalette::ColorRole role) {
        return w->palette().color(QPalette::Inactive, role);
    };
    // The list shows its selection as with the focus.
    ui_->clickRow(0);
    const QRect row = ui_->list()->visualRect(ui_->list()->model()->index(0, 1));
    QCOMPARE(ui_->list()->viewport()->grab().toImage().pixelColor(row.right() - 2, row.top() + 1),
             scheme.color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(inactive(ui_->memo(), QPalette::Highlight), scheme.color(QPalette::Base));
    // A palette set on the pane later keeps its colours.
    QPalette own = ui_->memo()->palette();
    own.setColor(QPalette::Highlight, Qt::darkRed);
    ui_->memo()->setPalette(own);
    QCOMPARE(ui_->memo()->palette().color(QPalette::Active, QPalette::Highlight), Qt::darkRed);
}

QTEST_MAIN(TestSample)
#include "test_sample.moc"

void TestSample::longTexts_areRememberedOnlyWhileAnEntryHoldsThem() {
    toolkit::ReportListView *list = ui_->list();
    const QString text = u"分数のテスト 1/2 + abc "_s.repeated(10'000);
    addEntries(*ui_->form, {{text, u"2"_s}});
    for (int i = 0; i < 5; ++i) {
        list->setCaption(0, QString::number(i) + text);
    }
    // The widths of the entry's current texts, nothing of the texts it held before.
    QVERIFY(ui_->form->previewSurface().rememberedCharacters() <= text.size() + 2);
    list->removeRow(0);
    QVERIFY(ui_->form->previewSurface().rememberedCharacters() < 10);
}
