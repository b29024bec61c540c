#include "toolkit/widgets/reportlistview.h"

#include "toolkit/accessibility/announcer.h"
#include "toolkit/text.h"
#include "toolkit/widgets/actionsmenu.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>
#include <array>

namespace toolkit {

// The rows of a report list: a caption and a sub-item each, under fixed column captions.
class ReportRows final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(captions_.size());
    }
    QVariant data(const QModelIndex &index, int role) const override {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return text(index.row(), index.column());
        case Qt::AccessibleTextRole:
            return spokenText(index.row(), index.column());
        case Qt::AccessibleDescriptionRole:
            // Where the row lies, on its first cell, which takes the focus mark.
            return index.column() == 0
                       ? QStringLiteral("%1 / %2").arg(index.row() + 1).arg(rowCount())
                       : QVariant();
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
            return {};
        }
        return captions_.value(section);
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override {
        return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                               : Qt::NoItemFlags;
    }

    const QStringList &captions() const { return captions_; }
    void setCaptions(const QStringList &captions) {
        beginResetModel();
        captions_ = captions;
        endResetModel();
    }
    QString text(int row, int column) const {
        return column < 2 ? rows_.at(row)[static_cast<size_t>(column)] : QString();
    }
    // Read out, each text follows its column's caption (「分子 1」「分母 2」); a row without a
    // sub-item is its caption alone.
    QString spokenText(int row, int column) const {
        const QString shown = text(row, column);
        if (text(row, 1).isEmpty()) {
            return shown;
        }
        return captions_.value(column) + u' ' + shown;
    }
    void setText(int row, int column, const QString &text) {
        QString &held = rows_[row][static_cast<size_t>(column)];
        if (held == text) {
            return; // no change to tell of
        }
        held = text;
        emit dataChanged(index(row, column), index(row, column));
    }
    void insert(int row, const QString &caption, const QString &subItem) {
        beginInsertRows({}, row, row);
        rows_.insert(row, {caption, subItem});
        endInsertRows();
    }
    void insert(int row, const std::vector<ListRow> &rows) {
        if (rows.empty()) {
            return;
        }
        beginInsertRows({}, row, row + static_cast<int>(rows.size()) - 1);
        rows_.insert(row, static_cast<qsizetype>(rows.size()), {});
        for (const ListRow &added : rows) {
            rows_[row++] = {added.first, added.second};
        }
        endInsertRows();
    }
    void remove(int row, int count = 1) {
        if (count <= 0) {
            return;
        }
        beginRemoveRows({}, row, row + count - 1);
        rows_.remove(row, count);
        endRemoveRows();
    }

private:
    QStringList captions_;
    QList<std::array<QString, 2>> rows_;
};

namespace {

// Every row shows on one line: line breaks in a text show as spaces. Otherwise one pasted
// multi-line text would make its row, and with uniform row heights every row, taller than the
// list, and no row could be clicked any more.
class SingleLineDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant &value, const QLocale &locale) const override {
        QString text = QStyledItemDelegate::displayText(value, locale);
        // A column shows a few dozen characters; laying out a text of millions for each paint
        // would freeze the list.
        constexpr qsizetype MostShown = 1000;
        text.truncate(wholeCharacters(text, MostShown, Round::Down));
        for (const QChar lineBreak : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::LineSeparator),
                                      QChar(QChar::ParagraphSeparator)}) {
            text.replace(lineBreak, u' ');
        }
        return text;
    }
    // The selection stays as visible as when the list has the focus.
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state |= QStyle::State_Active;
    }
};

} // namespace

ReportListView::ReportListView(QWidget *parent)
    : QTreeView(parent)
    , rows_(new ReportRows(this)) {
    setModel(rows_);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    setItemDelegate(new SingleLineDelegate(this));
    readCurrentItemOnFocus(this);
    watchModel();
}

ReportListView::~ReportListView() {
    // The rows and the selection go after this object's part is gone; nobody is told of that.
    model()->disconnect(this);
    selectionModel()->disconnect(this);
}

void ReportListView::watchModel() {
    const auto notify = [this] {
        emit itemChangeNotified();
        const int selected = selectedIndex();
        if (selected != lastSelected_) {
            lastSelected_ = selected;
            emit selectedRowChanged();
        }
    };
    QAbstractItemModel *m = model();
    connect(m, &QAbstractItemModel::dataChanged, this, notify);
    connect(m, &QAbstractItemModel::rowsInserted, this, notify);
    connect(m, &QAbstractItemModel::rowsRemoved, this, notify);
    connect(m, &QAbstractItemModel::modelReset, this, notify);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, notify);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, notify);
}

QStringList ReportListView::columnCaptions() const {
    return rows_->captions();
}

void ReportListView::setColumnCaptions(const QStringList &captions) {
    rows_->setCaptions(captions);
}

int ReportListView::rowCount() const {
    return rows_->rowCount();
}

int ReportListView::selectedIndex() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ReportListView::selectRow(int row) {
    // The focus mark goes with the selection, so that the keys go on from the selected row and a
    // screen reader reads the row that is selected.
    const QModelIndex index = model()->index(row, 0);
    if (index.isValid()) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
    } else {
        selectionModel()->clearSelection();
    }
}

void ReportListView::markRow(int row) {
    selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::NoUpdate);
    scrollTo(currentIndex());
}

QString ReportListView::caption(int row) const {
    return rows_->text(row, 0);
}

void ReportListView::setCaption(int row, const QString &text) {
    rows_->setText(row, 0, text);
}

QString ReportListView::subItem(int row) const {
    return rows_->text(row, 1);
}

void ReportListView::setSubItem(int row, const QString &text) {
    rows_->setText(row, 1, text);
}

void ReportListView::appendRow(const QString &caption, const QString &subItem) {
    rows_->insert(rowCount(), caption, subItem);
}

void ReportListView::insertRow(int row, const QString &caption, const QString &subItem) {
    rows_->insert(row, caption, subItem);
}

void ReportListView::removeRow(int row) {
    rows_->remove(row);
}

void ReportListView::insertRows(int row, const std::vector<ListRow> &rows) {
    rows_->insert(row, rows);
}

void ReportListView::removeRows(int row, int count) {
    rows_->remove(row, count);
}

void ReportListView::showRows(int first, int last) {
    scrollTo(model()->index(last, 0));
    scrollTo(model()->index(first, 0));
}

QPoint ReportListView::noticePoint() const {
    const int selected = selectedIndex();
    QRect at = selected >= 0 ? visualRect(model()->index(selected, 0)) : QRect();
    if (!viewport()->rect().intersects(at)) {
        at = QRect(0, 0, viewport()->width(), 0);
    }
    return viewport()->mapTo(this, at.bottomLeft());
}

void ReportListView::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    if (hasFocus()) {
        QTreeView::currentChanged(current, previous);
        return;
    }
    // Qt 6.4's tree view tells screen readers that the new current row has the keyboard focus
    // even when a button has it, as after Delete: without the focus, only the rows are repainted.
    QAbstractItemView::currentChanged(current, previous);
    for (const QModelIndex &row : {previous, current}) {
        if (row.isValid()) {
            viewport()->update(
                QRect(0, visualRect(row).top(), viewport()->width(), visualRect(row).height()));
        }
    }
}

void ReportListView::keyPressEvent(QKeyEvent *event) {
    // The view's own copy puts the text of one cell on the clipboard, even the entry row's
    // caption: the list copies whole entries through its menu, or nothing.
    if (event->matches(QKeySequence::Copy)) {
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
    // The focus mark stands on the first row from the moment the list has the focus, unselected:
    // a key that moves it selects the row it is on even where it cannot move further.
    static constexpr std::array moves{Qt::Key_Up,  Qt::Key_Down,   Qt::Key_Home,
                                      Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown};
    if (selectedIndex() < 0 && currentIndex().isValid() &&
        std::find(moves.begin(), moves.end(), event->key()) != moves.end()) {
        selectRow(currentIndex().row());
    }
}

void ReportListView::mousePressEvent(QMouseEvent *event) {
    // A click where no row is takes the selection away, as it does in a report-style list, with
    // either button (Qt 6.8's view no longer clears it on a right click by itself).
    if (!indexAt(event->position().toPoint()).isValid()) {
        clearSelection();
    }
    QTreeView::mousePressEvent(event);
}

void ReportListView::mouseReleaseEvent(QMouseEvent *event) {
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton &&
        viewport()->rect().contains(event->position().toPoint())) {
        emit itemAreaClicked();
    }
}

void ReportListView::contextMenuEvent(QContextMenuEvent *event) {
    popUpActionsMenu(this, event);
}

} // namespace toolkit
