#include "markup/tablemarkup.h"
#include "toolkit/qtcontrols.h"

#include <QtTest>

using fractions::Entry;
using fractions::EntryVector;
using markup::PageMode;

namespace {
const QString Head = u"<!-- 分数ここから -->"_qs;
const QString Table = u"<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\">"_qs;
const QString Tail = u"<!-- 分数ここまで -->"_qs;
const QString DefaultImage =
    u"<td><img src=\"./fracline.gif\" width=\"100%\" height=\"1\"></td>"_qs;

QStringList table(const QStringList &first, const QStringList &second, const QStringList &third) {
    return QStringList{Head, Table, u"<tr>"_qs} + first + QStringList{u"</tr>"_qs, u"<tr>"_qs} +
           second + QStringList{u"</tr>"_qs, u"<tr>"_qs} + third +
           QStringList{u"</tr>"_qs, u"</table>"_qs, Tail};
}
} // namespace

class TableMarkupTest : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void paneText_endsEveryLineWithCrLfOnTheClipboard();
};

void TableMarkupTest::lines_data() {
    QTest::addColumn<std::vector<Entry>>("entries");
    QTest::addColumn<QString>("path");
    QTest::addColumn<PageMode>("page");
    QTest::addColumn<QStringList>("expected");

    const QString path = u"./fracline.gif"_qs;
    QTest::newRow("no entries: three empty rows")
        << std::vector<Entry>{} << path << PageMode::Transitional << table({}, {}, {});
    QTest::newRow("one fraction") << std::vector<Entry>{{u"1"_qs, u"2"_qs}} << path
                                  << PageMode::Transitional
                                  << table({u"<td align=\"center\">1</td>"_qs}, {DefaultImage},
                                           {u"<td align=\"center\">2</td>"_qs});
    QTest::newRow("fraction, plain, fraction")
        << std::vector<Entry>{{u"1"_qs, u"2"_qs}, {u"+"_qs, {}}, {u"3"_qs, u"4"_qs}} << path
        << PageMode::Transitional
        << table({u"<td align=\"center\">1</td>"_qs, u"<td rowspan=\"3\">+</td>"_qs,
                  u"<td align=\"center\">3</td>"_qs},
                 {DefaultImage, DefaultImage},
                 {u"<td align=\"center\">2</td>"_qs, u"<td align=\"center\">4</td>"_qs});
    QTest::newRow("empty numerators")
        << std::vector<Entry>{{{}, {}}, {{}, u"5"_qs}} << path << PageMode::Transitional
        << table({u"<td rowspan=\"3\"></td>"_qs, u"<td align=\"center\"></td>"_qs}, {DefaultImage},
                 {u"<td align=\"center\">5</td>"_qs});
    QTest::newRow("empty path") << std::vector<Entry>{{u"1"_qs, u"2"_qs}} << QString()
                                << PageMode::Transitional
                                << table(
                                       {u"<td align=\"center\">1</td>"_qs},
                                       {u"<td><img src=\"\" width=\"100%\" height=\"1\"></td>"_qs},
                                       {u"<td align=\"center\">2</td>"_qs});
    QTest::newRow("format characters, markup, quotes and any script, as typed")
        << std::vector<Entry>{{u"%1 %s %n %% &amp; <i>x</i>"_qs, u"\"分母\" 😀 é"_qs},
                              {u"%2"_qs, {}}}
        << u"a\"b%1.gif"_qs << PageMode::Transitional
        << table({u"<td align=\"center\">%1 %s %n %% &amp; <i>x</i></td>"_qs,
                  u"<td rowspan=\"3\">%2</td>"_qs},
                 {u"<td><img src=\"a\"b%1.gif\" width=\"100%\" height=\"1\"></td>"_qs},
                 {u"<td align=\"center\">\"分母\" 😀 é</td>"_qs});

    // For pages in standards mode every image is a block too; nothing else changes.
    QTest::newRow("standards page: block images, the rest as for Make")
        << std::vector<Entry>{{u"1"_qs, u"2"_qs}, {u"+"_qs, {}}, {u"分子"_qs, u"<i>x</i>"_qs}}
        << u"a\"b%1.gif"_qs << PageMode::Standards
        << table({u"<td align=\"center\">1</td>"_qs, u"<td rowspan=\"3\">+</td>"_qs,
                  u"<td align=\"center\">分子</td>"_qs},
                 QStringList(2, u"<td><img src=\"a\"b%1.gif\" width=\"100%\" height=\"1\" "
                                "style=\"display:block\"></td>"_qs),
                 {u"<td align=\"center\">2</td>"_qs, u"<td align=\"center\"><i>x</i></td>"_qs});
    QTest::newRow("standards page without entries: as for Make")
        << std::vector<Entry>{} << path << PageMode::Standards << table({}, {}, {});
}

void TableMarkupTest::lines() {
    QFETCH(std::vector<Entry>, entries);
    QFETCH(QString, path);
    QFETCH(PageMode, page);
    QFETCH(QStringList, expected);
    QCOMPARE(markup::tableText(EntryVector(entries), path, page), expected.join(u'\n') + u'\n');
}

void TableMarkupTest::paneText_endsEveryLineWithCrLfOnTheClipboard() {
    QCOMPARE(toolkit::withCrLf(u"a\nb\n"_qs), u"a\r\nb\r\n"_qs);
    QCOMPARE(toolkit::withCrLf(u"a"_qs + QChar::ParagraphSeparator + u"b"_qs +
                               QChar::LineSeparator + u"c"_qs),
             u"a\r\nb\r\nc"_qs);
}

QTEST_GUILESS_MAIN(TableMarkupTest)
#include "test_tablemarkup.moc"
