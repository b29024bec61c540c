#pragma once

#include "formmodel.h"

#include <QString>

#include <random>
#include <vector>

// Random sessions on the real main window, checked against the model after every action.
namespace model {

struct Action {
    enum class Kind {
        ClickRow,
        ClickBelowRows,
        ListKey,
        Tab,
        Type,
        Paste,
        Click,
        Enter,
        Space,
        Reopen
    };
    Kind kind = Kind::Enter;
    // ClickRow: the row, modulo the row count. ListKey: Up, Down, Home, End, Ctrl+Z twice,
    // Ctrl+Shift+Z, Ctrl+Y, Ctrl+C, Ctrl+X, Ctrl+V, Shift+Insert. Tab: 1 backwards.
    // Type, Paste: the edit box (NmntE, DnmnE, PathE, Memo). Click: the control.
    int a = 0;
    // ClickRow: bit 0 right button, bit 1 Ctrl. ClickBelowRows: 1 right button. Type, Paste: 1
    // selects the whole text first, 0 goes to its end. Any action that opens the font chooser
    // confirms it when bit 2 is set.
    int b = 0;
    QString text;
};

QString describe(const Action &action);
QString describe(const std::vector<Action> &actions);

// Makes random actions: mostly short texts and list work, now and then texts of 100,000
// characters.
class ActionSource {
public:
    explicit ActionSource(unsigned seed)
        : random_(seed) {}
    Action next();

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    QString text(bool typed);

    std::mt19937 random_;
};

struct Failure {
    int step = -1; // -1 when every action kept the rules
    QString message;
};

// Plays `actions` on a fresh window and checks the rules after each; stops at the first fault.
Failure play(const std::vector<Action> &actions);

// The shortest sequence found, within `replays` plays, that still fails.
std::vector<Action> shrink(std::vector<Action> failing, int replays);

} // namespace model
