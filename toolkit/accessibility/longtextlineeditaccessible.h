#pragma once

class QAccessibleInterface;

namespace toolkit {

class LongTextLineEdit;

// What screen readers are told of an edit box: Qt's own account of a line edit, but for two
// faults of it. Before Qt 6.8 it tells of each text attribute run as empty, and Orca 43, which
// reads a line by its runs, leaves out the last character of every box (「./fracline.gi」, nothing
// at all of 「1」): this one tells of the whole text as one run. And Qt's search for the word
// around an offset never returns where the text's first character starts no word, as Orca asks
// when the caret moves by words in 「./fracline.gif」: the program hung.
QAccessibleInterface *longTextLineEditAccessible(LongTextLineEdit *box);

} // namespace toolkit
