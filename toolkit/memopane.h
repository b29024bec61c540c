#pragma once

#include <QPlainTextEdit>

// The multi-line markup pane. Its selection shows only while it has the focus.
class MemoPane : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MemoPane(QWidget *parent = nullptr);
};
