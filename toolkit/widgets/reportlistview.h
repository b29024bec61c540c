#pragma once

#include "toolkit/controls.h"

#include <QTreeView>

namespace toolkit {

class ReportRows;

// A report-style list view: whole-row single selection that stays visible without the focus, no
// in-place editing, fixed column headers. Rows hold a caption and one sub-item.
//
// The rows live in a plain list rather than in items of their own: adding or removing one row
// makes the view index its rows again, and with items scattered over the heap that took tens of
// milliseconds in a list of 100,000.
class ReportListView : public QTreeView, public ListView {
    Q_OBJECT
    Q_PROPERTY(QStringList columnCaptions READ columnCaptions WRITE setColumnCaptions)
public:
    explicit ReportListView(QWidget *parent = nullptr);
    ~ReportListView() override;

    QStringList columnCaptions() const;
    void setColumnCaptions(const QStringList &captions);

    int rowCount() const override;
    int selectedIndex() const override;
    void selectRow(int row) override;
    // Moves the keyboard focus mark to `row` and scrolls it into view; the selection stays.
    void markRow(int row);
    QString caption(int row) const override;
    void setCaption(int row, const QString &text) override;
    QString subItem(int row) const override;
    void setSubItem(int row, const QString &text) override;
    void appendRow(const QString &caption, const QString &subItem) override;
    void insertRow(int row, const QString &caption, const QString &subItem) override;
    void removeRow(int row) override;
    void insertRows(int row, const std::vector<ListRow> &rows) override;
    void removeRows(int row, int count) override;
    // Scrolls rows `first` to `last` into view, as many of them as fit from `first` on.
    void showRows(int first, int last);
    // Where words about the list show: under the selected row where it is in sight, else at the
    // top of the rows; in the list's own coordinates.
    QPoint noticePoint() const;

signals:
    // A left click in the item area, on a row or below the rows, after the selection followed it.
    void itemAreaClicked();
    // Any change of a row's texts or of its selected or focused state, however it was caused.
    void itemChangeNotified();
    // The selected row became another one (or none), however it was caused.
    void selectedRowChanged();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void watchModel();
    ReportRows *rows_;
    int lastSelected_ = -1;
};

} // namespace toolkit
