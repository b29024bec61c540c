#pragma once

#include <QPlainTextEdit>

// The multi-line markup pane. Its selection shows only while it has the focus. The actions added
// to it come first in its context menu, above the standard editing items.
class MemoPane : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MemoPane(QWidget *parent = nullptr);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
};
