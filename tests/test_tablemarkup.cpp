#include "markup/tablemarkup.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using fractions::Entry;
using fractions::EntryVector;
using markup::PageMode;

namespace {
const QString Head = u"<!-- 分数ここから -->"_s;
const QString Table = u"<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\">"_s;
const QString Tail = u"<!-- 分数ここまで -->"_s;
const QString DefaultImage = u"<td><img src=\"./fracline.gif\" width=\"100%\" height=\"1\"></td>"_s;

QStringList table(const QStringList &first, const QStringList &second, const QStringList &third) {
    return QStringList{Head, Table, u"<tr>"_s} + first + QStringList{u"</tr>"_s, u"<tr>"_s} +
           second + QStringList{u"</tr>"_s, u"<tr>"_s} + third +
           QStringList{u"</tr>"_s, u"</table>"_s, Tail};
}
} // namespace

class TableMarkupTest : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
};

void TableMarkupTest::lines_data() {
    QTest::addColumn<std::vector<Entry>>("entries");
    QTest::addColumn<QString>("path");
    QTest::addColumn<PageMode>("page");
    QTest::addColumn<QStringList>("expected");

    const QString path = u"./fracline.gif"_s;
    QTest::newRow("no entries: three empty rows")
        << std::vector<Entry>{} << path << PageMode::Transitional << table({}, {}, {});
    QTest::newRow("one fraction") << std::vector<Entry>{{u"1"_s, u"2"_s}} << path
                                  << PageMode::Transitional
                                  << table({u"<td align=\"center\">1</td>"_s}, {DefaultImage},
                                           {u"<td align=\"center\">2</td>"_s});
    QTest::newRow("fraction, plain, fraction")
        << std::vector<Entry>{{u"1"_s, u"2"_s}, {u"+"_s, {}}, {u"3"_s, u"4"_s}} << path
        << PageMode::Transitional
        << table({u"<td align=\"center\">1</td>"_s, u"<td rowspan=\"3\">+</td>"_s,
                  u"<td align=\"center\">3</td>"_s},
                 {DefaultImage, DefaultImage},
                 {u"<td align=\"center\">2</td>"_s, u"<td align=\"center\">4</td>"_s});
    QTest::newRow("empty numerators")
        << std::vector<Entry>{{{}, {}}, {{}, u"5"_s}} << path << PageMode::Transitional
        << table({u"<td rowspan=\"3\"></td>"_s, u"<td align=\"center\"></td>"_s}, {DefaultImage},
                 {u"<td align=\"center\">5</td>"_s});
    QTest::newRow("empty path") << std::vector<Entry>{{u"1"_s, u"2"_s}} << QString()
                                << PageMode::Transitional
                                << table({u"<td align=\"center\">1</td>"_s},
                                         {u"<td><img src=\"\" width=\"100%\" height=\"1\"></td>"_s},
                                         {u"<td align=\"center\">2</td>"_s});
    QTest::newRow("format characters, markup, quotes and any script, as typed")
        << std::vector<Entry>{{u"%1 %s %n %% &amp; <i>x</i>"_s, u"\"分母\" 😀 é"_s}, {u"%2"_s, {}}}
        << u"a\"b%1.gif"_s << PageMode::Transitional
        << table({u"<td align=\"center\">%1 %s %n %% &amp; <i>x</i></td>"_s,
                  u"<td rowspan=\"3\">%2</td>"_s},
                 {u"<td><img src=\"a\"b%1.gif\" width=\"100%\" height=\"1\"></td>"_s},
                 {u"<td align=\"center\">\"分母\" 😀 é</td>"_s});

    // For pages in standards mode every image is a block too; nothing else changes.
    QTest::newRow("standards page: block images, the rest as for Make")
        << std::vector<Entry>{{u"1"_s, u"2"_s}, {u"+"_s, {}}, {u"分子"_s, u"<i>x</i>"_s}}
        << u"a\"b%1.gif"_s << PageMode::Standards
        << table({u"<td align=\"center\">1</td>"_s, u"<td rowspan=\"3\">+</td>"_s,
                  u"<td align=\"center\">分子</td>"_s},
                 QStringList(2, u"<td><img src=\"a\"b%1.gif\" width=\"100%\" height=\"1\" "
                                "style=\"display:block\"></td>"_s),
                 {u"<td align=\"center\">2</td>"_s, u"<td align=\"center\"><i>x</i></td>"_s});
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

QTEST_GUILESS_MAIN(TableMarkupTest)
#include "test_tablemarkup.moc"
