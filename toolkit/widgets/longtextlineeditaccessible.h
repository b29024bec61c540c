#pragma once

class QAccessibleInterface;

namespace toolkit {

class LongTextLineEdit;

// What screen readers are told of an edit box on Qt before 6.8. Qt's own account of a line edit
// there tells of each text attribute run as empty, and Orca 43, which reads a line by its runs,
// leaves out the last character of every box: 「./fracline.gi」, nothing at all of 「1」. This
// one tells of the whole text as one run and of the rest as Qt does.
QAccessibleInterface *longTextLineEditAccessible(LongTextLineEdit *box);

} // namespace toolkit
