#include "preview/sampleink.h"
#include "preview/samplelayout.h"

#include <QtTest>

#include <climits>

using fractions::Entry;
using preview::DrawStep;
using Steps = std::vector<DrawStep>;
using Entries = std::vector<Entry>;

Q_DECLARE_METATYPE(Steps)
Q_DECLARE_METATYPE(Entries)

namespace {

// Digits 7 pixels wide, "+" 5, everything else 6; every text 17 high, so a row pitch of 19 and
// a plain entry's drop of 9 (19 / 2 rounded down).
class FixedMetrics final : public toolkit::TextMetrics {
public:
    int textWidth(const QString &text) const override {
        int width = 0;
        for (const QChar c : text) {
            width += c.isDigit() ? 7 : c == u'+' ? 5 : 6;
        }
        return width;
    }
    int textHeight(const QString &) const override { return 17; }
};

// Remembers how far into the list the layout read.
class ReadCounter final : public fractions::EntrySource {
public:
    explicit ReadCounter(const Entries &entries)
        : entries_(entries) {}
    int entryCount() const override { return static_cast<int>(entries_.size()); }
    Entry entry(int index) const override {
        highestRead = std::max(highestRead, index);
        return entries_[static_cast<size_t>(index)];
    }
    mutable int highestRead = -1;

private:
    const Entries &entries_;
};

DrawStep text(int x, int y, const QString &s) {
    return {DrawStep::Kind::Text, x, y, s};
}
DrawStep bar(int x, int y, int end) {
    return {DrawStep::Kind::Bar, x, y, QString(), end};
}

Entry fraction(const QString &numerator, const QString &denominator) {
    return {numerator, denominator};
}
Entry plain(const QString &text) {
    return {text, QString()};
}

Steps layOutRow(const Entries &entries, int visibleWidth) {
    return preview::layOutSample(fractions::EntryVector(entries), FixedMetrics(), visibleWidth);
}

} // namespace

class TestSampleLayout : public QObject {
    Q_OBJECT
private slots:
    void layOut_data();
    void layOut();
    void entriesPastTheRightEdge_areLeftOutWithoutChangingThePicture();
    void ink_isTheWindowTextWhereItReadsOnWhite_data();
    void ink_isTheWindowTextWhereItReadsOnWhite();
};

void TestSampleLayout::layOut_data() {
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<Steps>("steps");
    const QString one = QStringLiteral("1");

    QTest::newRow("no entries draw nothing") << Entries{} << Steps{};
    QTest::newRow("odd centring pixel goes right of the narrower numerator")
        << Entries{fraction(one, QStringLiteral("22"))}
        << Steps{text(7, 5, one), text(4, 24, QStringLiteral("22")), bar(4, 23, 18)};
    QTest::newRow("wider numerator sets the bar, denominator centred under it")
        << Entries{fraction(QStringLiteral("111"), QStringLiteral("2"))}
        << Steps{text(4, 5, QStringLiteral("111")), text(11, 24, QStringLiteral("2")),
                 bar(4, 23, 25)};
    QTest::newRow("plain entry drops half the row pitch, rounded down")
        << Entries{plain(QStringLiteral("+"))} << Steps{text(4, 14, QStringLiteral("+"))};
    QTest::newRow("neighbours stand one pixel apart")
        << Entries{fraction(one, QStringLiteral("2")), plain(QStringLiteral("+")),
                   fraction(QStringLiteral("3"), QStringLiteral("4"))}
        << Steps{text(4, 5, one),
                 text(4, 24, QStringLiteral("2")),
                 bar(4, 23, 11),
                 text(12, 14, QStringLiteral("+")),
                 text(18, 5, QStringLiteral("3")),
                 text(18, 24, QStringLiteral("4")),
                 bar(18, 23, 25)};
    QTest::newRow("empty numerator leaves the bar as wide as the denominator")
        << Entries{fraction(QString(), QStringLiteral("22"))}
        << Steps{text(4, 24, QStringLiteral("22")), bar(4, 23, 18)};
    QTest::newRow("empty plain entry only takes the gap")
        << Entries{plain(QString()), fraction(one, QStringLiteral("2"))}
        << Steps{text(5, 5, one), text(5, 24, QStringLiteral("2")), bar(5, 23, 12)};
}

void TestSampleLayout::layOut() {
    QFETCH(Entries, entries);
    QFETCH(Steps, steps);
    QCOMPARE(layOutRow(entries, 277), steps);
}

void TestSampleLayout::entriesPastTheRightEdge_areLeftOutWithoutChangingThePicture() {
    // 8 pixels an entry: a long list runs far past the 277 pixels of the picture.
    const Entries entries(1000, fraction(QStringLiteral("1"), QStringLiteral("2")));
    const Steps all = layOutRow(entries, INT_MAX);
    ReadCounter counter(entries);
    const Steps visible = preview::layOutSample(counter, FixedMetrics(), 277);

    QVERIFY(visible.size() < all.size());
    QVERIFY(std::equal(visible.begin(), visible.end(), all.begin()));
    for (auto step = all.begin() + static_cast<std::ptrdiff_t>(visible.size()); step != all.end();
         ++step) {
        QVERIFY2(step->x >= 277, "a left-out step would have reached the picture");
    }
    QVERIFY(counter.highestRead < 100);
}

void TestSampleLayout::ink_isTheWindowTextWhereItReadsOnWhite_data() {
    QTest::addColumn<QColor>("windowText");
    QTest::addColumn<QColor>("ink");
    QTest::newRow("black") << QColor(Qt::black) << QColor(Qt::black);
    QTest::newRow("navy") << QColor(0x000080) << QColor(0x000080);
    QTest::newRow("the lightest grey at 4.5:1") << QColor(0x767676) << QColor(0x767676);
    QTest::newRow("one step lighter starts black") << QColor(0x777777) << QColor(Qt::black);
    QTest::newRow("a dark theme's near white") << QColor(0xf0f0f0) << QColor(Qt::black);
}

void TestSampleLayout::ink_isTheWindowTextWhereItReadsOnWhite() {
    QFETCH(QColor, windowText);
    QFETCH(QColor, ink);
    QCOMPARE(preview::sampleInk(windowText), ink);
}

QTEST_GUILESS_MAIN(TestSampleLayout)
#include "test_samplelayout.moc"
