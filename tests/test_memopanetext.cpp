#include "toolkit/text.h"
#include "toolkit/widgets/memopanetext.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using toolkit::PaneText;

// The markup pane's text as Qt's document holds it, and the edits by which Make changes it.
class MemoPaneTextTest : public QObject {
    Q_OBJECT
private slots:
    void toPaneText_data();
    void toPaneText();
    void lineEdits_data();
    void lineEdits();
    void paneText_endsEveryLineWithCrLfOnTheClipboard();
};

namespace {

const QString Paragraph(QChar::ParagraphSeparator);
const QString Line(QChar::LineSeparator);

// `count` lines of `line`, each ended by `lineBreak` but the last.
QString lines(int count, const QString &line, const QString &lineBreak = u"\n"_s) {
    return QStringList(count, line).join(lineBreak);
}

} // namespace

void MemoPaneTextTest::toPaneText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("joinLines");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("kept");
    QTest::newRow("CR LF, CR, LF and U+2029 each end one line")
        << u"a\r\nb\rc\nd\u2029e\r\n"_s << false
        << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, {}}.join(Paragraph) << QString();
    QTest::newRow("short lines share a paragraph")
        << u"a\nb\r\nc"_s << true << u"a"_s + Line + u"b"_s + Line + u"c"_s << QString();
    QTest::newRow("the 65th short line starts the next paragraph")
        << lines(66, u"x"_s) << true << lines(64, u"x"_s, Line) + Paragraph + lines(2, u"x"_s, Line)
        << QString();
    QTest::newRow("a line of 4,096 characters stands alone")
        << u"a\n"_s + QString(4096, u'y') + u"\nb"_s << true
        << u"a"_s + Paragraph + QString(4096, u'y') + Paragraph + u"b"_s << QString();
    QTest::newRow("the document's marks and the stand-in itself become stand-ins")
        << u"a\ufdd0b\ufdd1\ufdd2"_s << true << u"a\ufdd2b\ufdd2\ufdd2"_s
        << u"1:fdd0 3:fdd1 4:fdd2"_s;
}

void MemoPaneTextTest::toPaneText() {
    QFETCH(QString, text);
    QFETCH(bool, joinLines);
    QFETCH(QString, expected);
    QFETCH(QString, kept);
    const PaneText pane = toolkit::toPaneText(text, joinLines);
    QCOMPARE(pane.text, expected);
    QStringList standIns;
    for (const PaneText::Kept &k : pane.kept) {
        standIns << u"%1:%2"_s.arg(k.position).arg(k.character, 0, 16);
    }
    QCOMPARE(standIns.join(u' '), kept);
}

void MemoPaneTextTest::lineEdits_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("mostLines");
    // Lines inserted and removed, -1 where the pane is to be filled anew.
    QTest::addColumn<int>("changed");
    QTest::newRow("the same lines") << u"a\nb\nc"_s << u"a\nb\nc"_s << 64 << 0;
    QTest::newRow("CR LF, CR and LF break lines alike")
        << u"a\r\nb\rc\n"_s << u"a\nb\nc\n"_s << 64 << 0;
    QTest::newRow("one line changed") << u"a\nb\nc"_s << u"a\nx\nc"_s << 64 << 2;
    QTest::newRow("a line added at the end") << u"a\nb"_s << u"a\nb\nc"_s << 64 << 1;
    QTest::newRow("a line removed at the start") << u"a\nb\nc"_s << u"b\nc"_s << 64 << 1;
    QTest::newRow("lines changed apart") << u"a\nb\nc\nd"_s << u"x\nb\nc\ny"_s << 64 << 4;
    QTest::newRow("as many lines as allowed") << u"a\nb"_s << u"c\nd"_s << 4 << 4;
    QTest::newRow("one line more than allowed") << u"a\nb"_s << u"c\nd"_s << 3 << -1;
    QTest::newRow("a stand-in in the old text") << u"a\ufdd0"_s << u"a\ufdd0"_s << 64 << -1;
    QTest::newRow("a stand-in in the new text") << u"a"_s << u"a\ufdd1"_s << 64 << -1;
    // Lines that repeat make the search walk far along equal lines in every round.
    QTest::newRow("repeated lines within the work budget")
        << u"l\nm\nm\n"_s.repeated(32) << u"l\nl\nm\n"_s.repeated(32) << 64 << 64;
    QTest::newRow("repeated lines beyond the work budget")
        << u"l\nm\nm\n"_s.repeated(60) << u"l\nl\nm\n"_s.repeated(60) << 200 << -1;
}

void MemoPaneTextTest::lineEdits() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, mostLines);
    QFETCH(int, changed);
    const PaneText old = toolkit::toPaneText(before, true);
    const PaneText made = toolkit::toPaneText(after, true);
    const auto edits = toolkit::lineEdits(old, made, mostLines);
    QCOMPARE(edits.has_value(), changed >= 0);
    if (!edits) {
        return;
    }
    // Applied from the last to the first, the edits turn the old lines into the new ones.
    QList<QStringView> result;
    for (qsizetype i = 0; i < old.lineCount(); ++i) {
        result << old.line(i);
    }
    qsizetype count = 0;
    for (auto e = edits->crbegin(); e != edits->crend(); ++e) {
        QVERIFY(e->oldFirst <= e->oldEnd && e->newFirst <= e->newEnd);
        result.remove(e->oldFirst, e->oldEnd - e->oldFirst);
        for (qsizetype i = e->newEnd; i-- > e->newFirst;) {
            result.insert(e->oldFirst, made.line(i));
        }
        count += e->oldEnd - e->oldFirst + e->newEnd - e->newFirst;
    }
    QStringList expected;
    for (qsizetype i = 0; i < made.lineCount(); ++i) {
        expected << made.line(i).toString();
    }
    QStringList got;
    for (const QStringView line : result) {
        got << line.toString();
    }
    QCOMPARE(got, expected);
    QCOMPARE(count, qsizetype(changed));
}

void MemoPaneTextTest::paneText_endsEveryLineWithCrLfOnTheClipboard() {
    QCOMPARE(toolkit::withCrLf(u"a\nb\n"_s), u"a\r\nb\r\n"_s);
    QCOMPARE(toolkit::withCrLf(u"a"_s + QChar::ParagraphSeparator + u"b"_s + QChar::LineSeparator +
                               u"c"_s),
             u"a\r\nb\r\nc"_s);
}

QTEST_GUILESS_MAIN(MemoPaneTextTest)
#include "test_memopanetext.moc"
