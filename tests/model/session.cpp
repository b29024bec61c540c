#include "session.h"

#include "markup/rowreader.h"
#include "windowdriver.h"

#include <QClipboard>
#include <QTemporaryDir>

#include <array>
#include <memory>

using namespace Qt::StringLiterals;

namespace model {

namespace {

constexpr std::array ControlNames{"ListBox", "NmntE", "DnmnE", "ChangeB", "DeleteB", "OldPageSC",
                                  "MakeB",   "CopyB", "Memo",  "PathE",   "VisSC",   "FontB"};
constexpr std::array EditTargets{Control::NmntE, Control::DnmnE, Control::PathE, Control::Memo};
constexpr std::array ClickTargets{Control::ChangeB, Control::DeleteB, Control::MakeB,
                                  Control::CopyB,   Control::VisSC,   Control::FontB,
                                  Control::NmntE,   Control::DnmnE,   Control::PathE};
constexpr std::array ListKeys{Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End};

QString escaped(const QString &text) {
    QString result;
    for (const QChar c : text) {
        result += c.isPrint() && c != u'\\'
                      ? QString(c)
                      : u"\\u%1"_s.arg(static_cast<uint>(c.unicode()), 4, 16, QChar(u'0'));
    }
    return result;
}

// Where two texts part, with a little of each around it.
QString difference(const QString &actual, const QString &expected) {
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual.at(at) == expected.at(at)) {
        ++at;
    }
    const qsizetype from = std::max<qsizetype>(0, at - 20);
    return u" (from character %1: \"%2\", expected \"%3\")"_s.arg(at).arg(
        escaped(actual.mid(from, 40)), escaped(expected.mid(from, 40)));
}

// A multi-line pane knows no kinds of line break: CR LF, CR, LF and the separators all end a
// line.
QString paneLines(QString text) {
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

// What a paste in the list reads from a clipboard of text alone.
std::optional<std::vector<Row>> readTextRow(const QString &text) {
    const auto read = markup::readRow({}, text);
    if (!read) {
        return std::nullopt;
    }
    std::vector<Row> row;
    for (const fractions::Entry &entry : *read) {
        row.push_back({entry.numerator, entry.denominator});
    }
    return row;
}

QString nameOf(Control c) {
    return QString::fromLatin1(ControlNames[static_cast<size_t>(c)]);
}

// Pieces of text a person types or pastes: markup and "%" sequences, Japanese, characters outside
// Shift-JIS, combining marks, right-to-left scripts and invisible format characters.
const QStringList &typedPieces() {
    static const QStringList pieces{
        u"1"_s,      u"23"_s,           u"x"_s,      u"+"_s,        u" "_s,
        u"<b>"_s,    u"&amp;"_s,        u"\""_s,     u"'"_s,        u"%s"_s,
        u"%d"_s,     u"%1"_s,           u"%%"_s,     u"%"_s,        u"分数"_s,
        u"ｱ"_s,      u"（新規作成）"_s, u"😀"_s,      u"👍🏽"_s, u"🇯🇵"_s,
        u"€"_s,      u"e\u0301"_s,      u"\u0308"_s, u"שלום"_s,     u"مرحبا"_s,
        u"\u200f"_s, u"\u200d"_s,       u"\u00a0"_s, u"ß"_s,        u"\u2028"_s,
        u"𠮷"_s};
    return pieces;
}

// Only pasted text carries control characters, line breaks and noncharacters (which Qt's text
// document uses for marks of its own).
const QStringList &pastedPieces() {
    static const QStringList pieces{u"\t"_s,     u"\n"_s,     u"\r\n"_s,   u"\u2029"_s,
                                    u"\ufeff"_s, u"\ufdd0"_s, u"\ufdd1"_s, u"\ufdd2"_s};
    return pieces;
}

class FakeFontChooser final : public toolkit::FontChooser {
public:
    FakeFontChooser(const toolkit::Font &initial, const bool &confirm, int &runs)
        : font_(initial)
        , confirm_(confirm)
        , runs_(runs) {}
    toolkit::Font currentFont() const override { return font_; }
    bool execute() override {
        ++runs_;
        if (confirm_) {
            font_.face.setPixelSize(8 + runs_ * 7 % 60);
            font_.face.setBold(runs_ % 2 == 0);
            font_.color = runs_ % 3 == 0 ? Qt::red : Qt::black;
        }
        return confirm_;
    }
    bool followWindowText(const QColor &) override { return false; }
    bool inWindowText() const override { return false; }
    void restore(const toolkit::Font &font, bool) override { font_ = font; }

private:
    toolkit::Font font_;
    const bool &confirm_;
    int &runs_;
};

// One window, one model, the same actions on both. The window keeps its work in a file of its own.
class Session {
public:
    Session()
        : ui_(
              [this](const toolkit::Font &font, QWidget *) {
                  auto chooser = std::make_unique<FakeFontChooser>(font, confirmFont_, fontRuns_);
                  fontChooser_ = chooser.get();
                  return chooser;
              },
              {}, workFolder_.filePath(u"work.json"_s)) {
        QGuiApplication::clipboard()->clear();
        // The model's Make writes the table for pages without a doctype.
        ui_.widget<QCheckBox>("OldPageSC")->setChecked(true);
        model_.current = list()->currentIndex().row();
    }

    QString perform(const Action &action);
    QString check() const;
    bool started() const { return ui_.active; }

private:
    template <typename T = QWidget> T *control(Control c) const { return ui_.widget<T>(nameOf(c)); }
    toolkit::ReportListView *list() const { return ui_.list(); }
    QWidget *focused() const { return QApplication::focusWidget(); }
    void clickRow(const Action &action);
    void clickBelowRows(const Action &action);
    void listKey(Qt::Key k);
    void undoKey(int key);
    void clipboardKey(int key);
    void edit(const Action &action);
    void click(Control c);
    void activate(Control c);
    QString editText(Control c) const;
    QString paneText() const;
    void setEditText(Control c, const QString &text);
    QString reopen();

    bool confirmFont_ = false;
    int fontRuns_ = 0;
    const FakeFontChooser *fontChooser_ = nullptr;
    QTemporaryDir workFolder_;
    WindowDriver ui_;
    FormModel model_;
};

void Session::clickRow(const Action &action) {
    const int row = ((action.a % model_.count()) + model_.count()) % model_.count();
    const bool right = (action.b & 1) != 0;
    const bool ctrl = (action.b & 2) != 0;
    ui_.clickRow(row, right ? Qt::RightButton : Qt::LeftButton,
                 ctrl ? Qt::ControlModifier : Qt::KeyboardModifiers());

    model_.focus = Control::ListBox;
    model_.current = row;
    model_.select(ctrl && model_.selected == row ? -1 : row);
    if (!right) {
        model_.refresh();
    }
}

void Session::clickBelowRows(const Action &action) {
    const bool right = action.b == 1;
    if (!ui_.clickBelowRows(right ? Qt::RightButton : Qt::LeftButton)) {
        return;
    }
    // A click of either button where no row is takes the selection away.
    model_.focus = Control::ListBox;
    model_.select(-1);
    if (!right) {
        model_.refresh();
    }
}

void Session::listKey(Qt::Key k) {
    if (model_.focus != Control::ListBox) {
        return;
    }
    ui_.key(k);
    const int last = model_.count() - 1;
    int next = 0;
    if (model_.current != -1) {
        switch (k) {
        case Qt::Key_Up:
            next = std::max(model_.current - 1, 0);
            break;
        case Qt::Key_Down:
            next = std::min(model_.current + 1, last);
            break;
        case Qt::Key_End:
            next = last;
            break;
        default:
            next = 0;
        }
    }
    // The mark moves and takes the selection with it; a key that cannot move it selects the row
    // it stands on.
    model_.current = next;
    model_.select(next);
}

// Undo and redo of the list, in the list and at the controls without an undo of their own; the
// edit boxes and the pane take the same keys for their own text.
void Session::undoKey(int key) {
    using enum Control;
    const Control f = model_.focus;
    if (f != NmntE && f != DnmnE && f != Memo && f != PathE) {
        ui_.key(key == 7 ? Qt::Key_Y : Qt::Key_Z,
                key == 6 ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
        model_.undo(key >= 6);
    }
}

// The list's copy, cut and paste, checked against the model's list and against the row the
// model expects a paste to read back.
void Session::clipboardKey(int key) {
    // Pastes of pasted markup would double the list again and again: a session stays short.
    const bool tooMany = key >= 10 && model_.clipboardRow &&
                         model_.entries.size() + model_.clipboardRow->size() > 300;
    if (model_.focus != Control::ListBox || tooMany) {
        return;
    }
    static constexpr std::array Keys{Qt::Key_C, Qt::Key_X, Qt::Key_V, Qt::Key_Insert};
    ui_.key(Keys[static_cast<size_t>(key - 8)],
            key == 11 ? Qt::ShiftModifier : Qt::ControlModifier);
    if (key <= 9 && model_.deleteEnabled) {
        const Row &entry = model_.entries[static_cast<size_t>(model_.selected)];
        model_.copyEntry(markup::rowClipboard({{entry.numerator, entry.denominator}}).text);
        if (key == 9) {
            model_.remove();
        }
    } else if (key >= 10) {
        model_.pasteRow();
    }
}

// The pane's text as the user typed it, with a line break between its lines.
QString Session::paneText() const {
    return control<toolkit::MemoPane>(Control::Memo)->plainText();
}

QString Session::editText(Control c) const {
    switch (c) {
    case Control::NmntE:
        return model_.numerator;
    case Control::DnmnE:
        return model_.denominator;
    default:
        return model_.path;
    }
}

void Session::setEditText(Control c, const QString &text) {
    switch (c) {
    case Control::NmntE:
        model_.numerator = text;
        break;
    case Control::DnmnE:
        model_.denominator = text;
        break;
    default:
        model_.path = text;
    }
}

void Session::edit(const Action &action) {
    const Control target = EditTargets[static_cast<size_t>(action.a) % EditTargets.size()];
    const bool replace = action.b % 2 == 1;
    ui_.click(control(target), QPoint(3, 5));
    model_.focus = target;
    ui_.key(replace ? Qt::Key_A : Qt::Key_End, replace ? Qt::ControlModifier : Qt::NoModifier);
    if (action.kind == Action::Kind::Type) {
        ui_.type(action.text);
    } else {
        QGuiApplication::clipboard()->setText(action.text);
        model_.clipboard = action.text;
        model_.clipboardRow = readTextRow(action.text);
        ui_.key(Qt::Key_V, Qt::ControlModifier);
    }
    if (target == Control::Memo) {
        model_.memo.reset();
        model_.memoFollows = false;
    } else if (replace) {
        // Replacing a selection with nothing leaves the text as it was only if nothing was
        // inserted; a paste of an empty clipboard deletes the selection.
        if (!action.text.isEmpty() || action.kind == Action::Kind::Paste) {
            setEditText(target, action.text);
        }
    } else {
        setEditText(target, editText(target) + action.text);
    }
    model_.typed();
}

// The work as it was before the window closed, the rest as at start-up.
QString Session::reopen() {
    const toolkit::Font font = fontChooser_->currentFont();
    ui_.reopen();
    model_.reopen();
    model_.current = list()->currentIndex().row();
    const toolkit::Font kept = fontChooser_->currentFont();
    if (kept.face.toString() != font.face.toString() || kept.color != font.color) {
        return u"the font after a new start is %1, expected %2"_s.arg(kept.face.toString(),
                                                                      font.face.toString());
    }
    return {};
}

// What activating a control does, however it was activated.
void Session::activate(Control c) {
    switch (c) {
    case Control::ChangeB:
        model_.commit();
        break;
    case Control::DeleteB:
        model_.remove();
        break;
    case Control::MakeB:
        model_.make();
        break;
    case Control::CopyB: {
        const QString pane = model_.memo ? *model_.memo : paneText();
        model_.copy(pane);
        if (!pane.isEmpty()) {
            model_.clipboardRow = readTextRow(*model_.clipboard);
        }
        break;
    }
    case Control::VisSC:
        model_.sampleVisible = !model_.sampleVisible;
        break;
    case Control::FontB:
        ++model_.fontChooserRuns;
        break;
    default:
        break;
    }
}

void Session::click(Control c) {
    if (!model_.available(c)) {
        return; // a disabled or hidden control takes no click
    }
    ui_.click(control(c), QPoint(5, 5));
    model_.focus = c;
    activate(c);
}

QString Session::perform(const Action &action) {
    confirmFont_ = (action.b & 4) != 0;
    switch (action.kind) {
    case Action::Kind::ClickRow:
        clickRow(action);
        break;
    case Action::Kind::ClickBelowRows:
        clickBelowRows(action);
        break;
    case Action::Kind::ListKey:
        if (action.a < 4) {
            listKey(ListKeys[static_cast<size_t>(action.a)]);
        } else if (action.a < 8) {
            undoKey(action.a);
        } else {
            clipboardKey(action.a);
        }
        break;
    case Action::Kind::Tab:
        ui_.key(Qt::Key_Tab, action.a == 1 ? Qt::ShiftModifier : Qt::NoModifier);
        model_.tab(action.a == 1);
        break;
    case Action::Kind::Type:
    case Action::Kind::Paste:
        edit(action);
        break;
    case Action::Kind::Click:
        click(ClickTargets[static_cast<size_t>(action.a) % ClickTargets.size()]);
        break;
    case Action::Kind::Enter: {
        const Control at = model_.focus;
        ui_.key(Qt::Key_Return);
        switch (at) {
        case Control::ChangeB:
        case Control::DeleteB:
        case Control::MakeB:
        case Control::CopyB:
        case Control::FontB:
            activate(at); // a focused button takes Enter itself
            break;
        case Control::Memo:
            model_.memo.reset();
            model_.memoFollows = false;
            break;
        default:
            if (model_.changeEnabled) {
                model_.commit(); // the default button
            }
        }
        break;
    }
    case Action::Kind::Space: {
        const Control at = model_.focus;
        if (at == Control::NmntE || at == Control::DnmnE || at == Control::PathE ||
            at == Control::Memo || at == Control::ListBox) {
            break; // typing, or the list's type-ahead search, not an action
        }
        if (at == Control::OldPageSC) {
            break; // the sessions keep to old pages' table, which the model writes
        }
        ui_.key(Qt::Key_Space);
        activate(at);
        break;
    }
    case Action::Kind::Reopen:
        if (QString fault = reopen(); !fault.isEmpty()) {
            return fault;
        }
        break;
    }
    return check();
}

QString Session::check() const {
    const toolkit::ReportListView *l = list();
    const QAbstractItemModel *rows = l->model();
    const int count = rows->rowCount();
    if (count < 1) {
        return u"the list has no rows"_s;
    }
    if (rows->columnCount() != 2) {
        return u"the list has %1 columns"_s.arg(rows->columnCount());
    }
    const auto text = [rows](int r, int column) {
        return rows->index(r, column).data().toString();
    };
    if (text(count - 1, 0) != u"（新規作成）" || !text(count - 1, 1).isEmpty()) {
        return u"the last row is not the entry row"_s;
    }
    if (count != model_.count()) {
        return u"%1 rows, expected %2"_s.arg(count).arg(model_.count());
    }
    for (int r = 0; r < count - 1; ++r) {
        const Row &expected = model_.entries[static_cast<size_t>(r)];
        if (text(r, 0) != expected.numerator || text(r, 1) != expected.denominator) {
            return u"row %1 differs from the model"_s.arg(r);
        }
    }
    const auto selectedRows = l->selectionModel()->selectedRows();
    const int selected = selectedRows.isEmpty() ? -1 : selectedRows.first().row();
    if (selected != model_.selected || selectedRows.size() > 1) {
        return u"row %1 selected, expected %2"_s.arg(selected).arg(model_.selected);
    }
    if (l->currentIndex().row() != model_.current) {
        return u"focus mark on row %1, expected %2"_s.arg(l->currentIndex().row())
            .arg(model_.current);
    }
    if (control(Control::ChangeB)->isEnabled() != model_.changeEnabled ||
        control(Control::DeleteB)->isEnabled() != model_.deleteEnabled) {
        return u"Change %1, Delete %2: expected %3, %4"_s
            .arg(control(Control::ChangeB)->isEnabled())
            .arg(control(Control::DeleteB)->isEnabled())
            .arg(model_.changeEnabled)
            .arg(model_.deleteEnabled);
    }
    for (const Control box : {Control::NmntE, Control::DnmnE, Control::PathE}) {
        if (control<QLineEdit>(box)->text() != editText(box)) {
            return nameOf(box) +
                   u" holds \"%1\", expected \"%2\""_s.arg(control<QLineEdit>(box)->text().left(80),
                                                           editText(box).left(80));
        }
    }
    if (control(Control::FontB)->isVisible() != model_.sampleVisible ||
        control(Control::VisSC)->property("checked").toBool() != model_.sampleVisible) {
        return u"the sample's visibility differs"_s;
    }
    if (fontRuns_ != model_.fontChooserRuns) {
        return u"the font chooser ran %1 times, expected %2"_s.arg(fontRuns_).arg(
            model_.fontChooserRuns);
    }
    const QString focusName = focused() ? focused()->objectName() : u"nothing"_s;
    if (focusName != nameOf(model_.focus)) {
        return u"the focus is on %1, expected %2"_s.arg(focusName, nameOf(model_.focus));
    }
    if (model_.memo && paneText() != paneLines(*model_.memo)) {
        return u"the markup pane differs from the model's markup"_s +
               difference(paneText(), paneLines(*model_.memo));
    }
    if (QGuiApplication::clipboard()->text() != model_.clipboard.value_or(QString())) {
        return u"the clipboard differs from the model's"_s +
               difference(QGuiApplication::clipboard()->text(),
                          model_.clipboard.value_or(QString()));
    }
    return {};
}

} // namespace

QString describe(const Action &action) {
    const auto quoted = [](const QString &text) {
        return u"\""_s +
               escaped(text.size() > 40 ? text.left(40) + u"…(%1 characters)"_s.arg(text.size())
                                        : text) +
               u"\""_s;
    };
    const QString font = (action.b & 4) != 0 ? u" [font: confirm]"_s : QString();
    switch (action.kind) {
    case Action::Kind::ClickRow:
        return u"%1%2click on row %3 (modulo the row count)"_s.arg(
            (action.b & 2) != 0 ? u"Ctrl+"_s : QString(),
            (action.b & 1) != 0 ? u"right "_s : u"left "_s, QString::number(action.a));
    case Action::Kind::ClickBelowRows:
        return action.b == 1 ? u"right click below the rows"_s : u"left click below the rows"_s;
    case Action::Kind::ListKey: {
        static const QStringList keys{u"Up"_s,           u"Down"_s,   u"Home"_s,
                                      u"End"_s,          u"Ctrl+Z"_s, u"Ctrl+Z"_s,
                                      u"Ctrl+Shift+Z"_s, u"Ctrl+Y"_s, u"Ctrl+C"_s,
                                      u"Ctrl+X"_s,       u"Ctrl+V"_s, u"Shift+Insert"_s};
        return u"%1 in the list"_s.arg(keys.at(action.a % 12));
    }
    case Action::Kind::Tab:
        return action.a == 1 ? u"Shift+Tab"_s : u"Tab"_s;
    case Action::Kind::Type:
    case Action::Kind::Paste:
        return u"%1 %2 into %3 after %4"_s.arg(
            action.kind == Action::Kind::Type ? u"type"_s : u"paste"_s, quoted(action.text),
            nameOf(EditTargets[static_cast<size_t>(action.a) % EditTargets.size()]),
            action.b % 2 == 1 ? u"Ctrl+A"_s : u"End"_s);
    case Action::Kind::Click:
        return u"click %1"_s.arg(
                   nameOf(ClickTargets[static_cast<size_t>(action.a) % ClickTargets.size()])) +
               font;
    case Action::Kind::Enter:
        return u"Enter"_s + font;
    case Action::Kind::Space:
        return u"Space"_s + font;
    case Action::Kind::Reopen:
        return u"close the window and start again"_s;
    }
    return {};
}

QString describe(const std::vector<Action> &actions) {
    QString text;
    for (size_t i = 0; i < actions.size(); ++i) {
        text += u"  %1. %2\n"_s.arg(i + 1).arg(describe(actions[i]));
    }
    return text;
}

QString ActionSource::text(bool typed) {
    if (below(400) == 0) {
        // A text of 100,000 characters, pasted rather than typed: random pieces, or Japanese and
        // Latin mixed as in a pasted document.
        if (below(2) == 0) {
            return u"分数のテスト 1/2 + abc "_s.repeated(100000 / 17);
        }
        QString longText;
        while (longText.size() < 100000) {
            longText += typedPieces().at(below(static_cast<int>(typedPieces().size())));
        }
        return longText;
    }
    QString result;
    const int pieces = below(4);
    for (int i = 0; i < pieces; ++i) {
        if (!typed && below(4) == 0) {
            result += pastedPieces().at(below(static_cast<int>(pastedPieces().size())));
        } else {
            result += typedPieces().at(below(static_cast<int>(typedPieces().size())));
        }
    }
    return result;
}

Action ActionSource::next() {
    Action action;
    action.b = below(8);
    const int roll = below(100);
    using Kind = Action::Kind;
    if (roll < 22) {
        action.kind = Kind::ClickRow;
        action.a = below(2) == 0 ? -1 : below(12); // -1 is the entry row
        action.b = (below(3) == 0 ? 1 : 0) | (below(5) == 0 ? 2 : 0) | (action.b & 4);
    } else if (roll < 25) {
        action.kind = Kind::ClickBelowRows;
        action.b = below(3) == 0 ? 1 : 0;
    } else if (roll < 35) {
        action.kind = Kind::ListKey;
        action.a = below(12);
    } else if (roll < 43) {
        action.kind = Kind::Tab;
        action.a = below(3) == 0 ? 1 : 0;
    } else if (roll < 58) {
        action.kind = Kind::Type;
        action.a = below(8) == 0 ? 2 + below(2) : below(2);
        action.text = text(true);
        if (action.text.size() > 1000) {
            action.kind = Kind::Paste;
        }
    } else if (roll < 63) {
        action.kind = Kind::Paste;
        action.a = below(8) == 0 ? 2 + below(2) : below(2);
        action.text = text(false);
    } else if (roll < 85) {
        action.kind = Kind::Click;
        action.a = below(static_cast<int>(ClickTargets.size()));
        // Change and Delete are what the invariants are about.
        if (below(2) == 0) {
            action.a = below(2);
        }
    } else if (roll < 95) {
        action.kind = Kind::Enter;
    } else if (roll < 99) {
        action.kind = Kind::Space;
    } else {
        action.kind = Kind::Reopen;
    }
    return action;
}

Failure play(const std::vector<Action> &actions) {
    Session session;
    if (!session.started()) {
        return {0, u"the window did not become active"_s};
    }
    if (QString fault = session.check(); !fault.isEmpty()) {
        return {0, u"at start-up: "_s + fault};
    }
    for (size_t i = 0; i < actions.size(); ++i) {
        if (QString fault = session.perform(actions[i]); !fault.isEmpty()) {
            return {static_cast<int>(i), fault};
        }
    }
    return {};
}

std::vector<Action> shrink(std::vector<Action> failing, int replays) {
    // Removes ever smaller runs of actions as long as what is left still fails.
    for (size_t chunk = failing.size() / 2; chunk >= 1 && replays > 0; chunk /= 2) {
        bool removedAny = true;
        while (removedAny && replays > 0) {
            removedAny = false;
            for (size_t start = 0; start + chunk <= failing.size() && replays > 0;) {
                std::vector<Action> candidate = failing;
                candidate.erase(candidate.begin() + static_cast<std::ptrdiff_t>(start),
                                candidate.begin() + static_cast<std::ptrdiff_t>(start + chunk));
                --replays;
                const Failure f = play(candidate);
                if (f.step >= 0) {
                    candidate.resize(static_cast<size_t>(f.step) + 1);
                    failing = std::move(candidate);
                    removedAny = true;
                } else {
                    start += chunk;
                }
            }
        }
    }
    return failing;
}

} // namespace model
