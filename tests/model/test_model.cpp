#include "keptwork/keptwork.h"
#include "session.h"
#include "toolkit/platform/process.h"
#include "windowdriver.h"

#include <QToolTip>
#include <QtTest>

#include <cstdlib>

using namespace Qt::StringLiterals;

// Long random sessions on the real window, each action checked against the model. A failure
// names the seed and the shortest sequence of actions found that still shows the fault.
class ModelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { toolkit::setUpProcess(); }
    void randomSessions_keepEveryRule_data();
    void randomSessions_keepEveryRule();
    void pastedLineBreaks_leaveEveryRowClickable_data();
    void pastedLineBreaks_leaveEveryRowClickable();
    void longMixedText_reachesListMarkupAndClipboardWhole();
    void unreadableWork_startsEmptyAndIsKeptAside_data();
    void unreadableWork_startsEmptyAndIsKeptAside();
    void workFile_escapesOnlyByteOrderMarks();
};

void ModelTest::randomSessions_keepEveryRule_data() {
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<int>("actions");
    // PEMVARO_MODEL_SEED replays one session; the soak run goes through many long ones.
    const QByteArray only = qgetenv("PEMVARO_MODEL_SEED");
    const int length = qEnvironmentVariableIsSet("PEMVARO_MODEL_ACTIONS")
                           ? qEnvironmentVariableIntValue("PEMVARO_MODEL_ACTIONS")
                           : PEMVARO_MODEL_SESSION_LENGTH;
    if (!only.isEmpty()) {
        QTest::newRow(only.constData()) << only.toUInt() << length;
        return;
    }
    for (unsigned seed = 1; seed <= PEMVARO_MODEL_SESSIONS; ++seed) {
        QTest::addRow("seed %u", seed) << seed << length;
    }
}

void ModelTest::randomSessions_keepEveryRule() {
    QFETCH(unsigned, seed);
    QFETCH(int, actions);
    model::ActionSource source(seed);
    std::vector<model::Action> sequence;
    for (int i = 0; i < actions; ++i) {
        sequence.push_back(source.next());
    }
    const model::Failure failure = model::play(sequence);
    if (failure.step < 0) {
        return;
    }
    sequence.resize(static_cast<size_t>(failure.step) + 1);
    const std::vector<model::Action> shortest = model::shrink(sequence, 400);
    const model::Failure shown = model::play(shortest);
    // Texts of the session may hold "%" sequences: no arg() on them.
    const QString report = u"seed "_s + QString::number(seed) + u": "_s + failure.message +
                           u" after action "_s + QString::number(failure.step + 1) +
                           u" of the session\nshortest sequence found ("_s +
                           QString::number(shortest.size()) + u" actions), failing with: "_s +
                           shown.message + u"\n"_s + model::describe(shortest);
    QFAIL(qPrintable(report));
}

void ModelTest::pastedLineBreaks_leaveEveryRowClickable_data() {
    QTest::addColumn<QString>("lineBreak");
    QTest::newRow("LF") << u"\n"_s;
    QTest::newRow("CR LF") << u"\r\n"_s;
    QTest::newRow("line separator") << u"\u2028"_s;
    QTest::newRow("paragraph separator") << u"\u2029"_s;
}

void ModelTest::pastedLineBreaks_leaveEveryRowClickable() {
    QFETCH(QString, lineBreak);
    using Kind = model::Action::Kind;
    // A pasted text of many lines, committed as an entry; then a click on each row.
    const std::vector<model::Action> actions{
        {Kind::ClickRow, -1, 0, {}},
        {Kind::Paste, 0, 1, (u"line"_s + lineBreak).repeated(40)},
        {Kind::Enter, 0, 0, {}},
        {Kind::ClickRow, 0, 0, {}},
        {Kind::ClickRow, -1, 0, {}}};
    const model::Failure failure = model::play(actions);
    QVERIFY2(failure.step < 0, qPrintable(failure.message));
}

void ModelTest::longMixedText_reachesListMarkupAndClipboardWhole() {
    using Kind = model::Action::Kind;
    // Pasted, committed, loaded again, changed, generated, copied and deleted, checked after each.
    const QString text = u"分数のテスト 1/2 + abc "_s.repeated(300'000 / 17);
    const std::vector<model::Action> actions{
        {Kind::ClickRow, -1, 0, {}}, {Kind::Paste, 0, 1, text},  {Kind::Tab, 0, 0, {}},
        {Kind::Type, 1, 1, u"2"_s},  {Kind::Enter, 0, 0, {}},    {Kind::ClickRow, 0, 0, {}},
        {Kind::Tab, 0, 0, {}},       {Kind::Tab, 1, 0, {}},      {Kind::Paste, 0, 0, text},
        {Kind::Enter, 0, 0, {}},     {Kind::Click, 2, 0, {}},    {Kind::Click, 3, 0, {}},
        {Kind::Click, 4, 0, {}},     {Kind::ClickRow, 0, 0, {}}, {Kind::Click, 1, 0, {}}};
    const model::Failure failure = model::play(actions);
    QVERIFY2(failure.step < 0,
             qPrintable(u"action %1: "_s.arg(failure.step + 1) + failure.message));
}

void ModelTest::unreadableWork_startsEmptyAndIsKeptAside_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("damaged") << QByteArray(R"({"program": "Pemvaro", "version": 1, "entr)");
    QTest::newRow("another program's") << QByteArray(R"({"entries": [], "path": ""})");
    QTest::newRow("a newer version's")
        << QByteArray(R"({"program": "Pemvaro", "version": 2, "entries": [], "path": "x",)"
                      R"( "sampleVisible": true, "pane": {"form": ""}})");
    QTest::newRow("a page that is neither old nor today's")
        << QByteArray(R"({"program": "Pemvaro", "version": 1, "entries": [], "path": "x",)"
                      R"( "oldPage": 1, "sampleVisible": true, "pane": {"form": ""}})");
    QTest::newRow("an entry of three texts")
        << QByteArray(R"({"program": "Pemvaro", "version": 1, "entries": [["1", "2", "3"]],)"
                      R"( "path": "x", "sampleVisible": true, "pane": {"form": ""}})");
}

// The window as at a first start, the file moved aside where a later save leaves it alone, and
// the user told where it is.
void ModelTest::unreadableWork_startsEmptyAndIsKeptAside() {
    QFETCH(QByteArray, file);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"work.json"_s);
    QFile written(path);
    QVERIFY(written.open(QIODevice::WriteOnly) && written.write(file) == file.size());
    written.close();
    WindowDriver ui({}, {}, path);
    QCOMPARE(ui.rowCount(), 1);
    QCOMPARE(ui.widget<QLineEdit>("PathE")->text(), u"./fracline.gif"_s);
    const QStringList aside = QDir(folder.path()).entryList({u"work-unreadable-*.json"_s});
    QCOMPARE(aside.size(), 1);
    QTRY_VERIFY(QToolTip::text().contains(aside.first()));
    ui.addEntry(u"1"_s, u"2"_s);
    ui.reopen();
    QCOMPARE(ui.entries(), QList<QStringList>{QStringList({u"1"_s, u"2"_s})});
    QFile kept(folder.filePath(aside.first()));
    QVERIFY(kept.open(QIODevice::ReadOnly) && kept.readAll() == file);
}

// Qt's JSON reader drops U+FEFF in UTF-8: the work file writes it escaped, and nothing else
// differs from what Qt writes.
void ModelTest::workFile_escapesOnlyByteOrderMarks() {
    keptwork::KeptWork work;
    work.entries = {{u"<b>&amp;%1\"𠮷\u2028\ufdd0"_s, u"e\u0301 \u200f\t"_s}};
    const QByteArray json = keptwork::toJson(work);
    QCOMPARE(json, QJsonDocument::fromJson(json).toJson(QJsonDocument::Indented));
    work.entries.push_back({u"\ufeff"_s, u"\ufeff%1"_s});
    QCOMPARE(keptwork::fromJson(keptwork::toJson(work)), work);
}

QTEST_MAIN(ModelTest)
#include "test_model.moc"
