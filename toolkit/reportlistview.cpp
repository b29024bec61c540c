#include "toolkit/reportlistview.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyledItemDelegate>

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
        if (text.size() > MostShown) {
            text.truncate(text.at(MostShown - 1).isHighSurrogate() ? MostShown - 1 : MostShown);
        }
        for (const QChar lineBreak : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::LineSeparator),
                                      QChar(QChar::ParagraphSeparator)}) {
            text.replace(lineBreak, u' ');
        }
        return text;
    }
};

} // namespace

ReportListView::ReportListView(QWidget *parent)
    : QTreeWidget(parent) {
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    // The selection stays as visible as when the list has the focus.
    QPalette pal = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    }
    setPalette(pal);
    setItemDelegate(new SingleLineDelegate(this));
    watchModel();
}

ReportListView::~ReportListView() {
    // The base class removes the rows after this object's part is gone; nobody is told of that.
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

int ReportListView::rowCount() const {
    return topLevelItemCount();
}

int ReportListView::selectedIndex() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ReportListView::selectRow(int row) {
    selectionModel()->select(model()->index(row, 0),
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QString ReportListView::caption(int row) const {
    return topLevelItem(row)->text(0);
}

void ReportListView::setCaption(int row, const QString &text) {
    topLevelItem(row)->setText(0, text);
}

QString ReportListView::subItem(int row) const {
    return topLevelItem(row)->text(1);
}

void ReportListView::setSubItem(int row, const QString &text) {
    topLevelItem(row)->setText(1, text);
}

void ReportListView::appendRow(const QString &caption, const QString &subItem) {
    auto *item = new QTreeWidgetItem({caption, subItem});
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    addTopLevelItem(item);
}

void ReportListView::removeRow(int row) {
    delete takeTopLevelItem(row);
}

void ReportListView::useDefaultColumnWidths() {
    for (int column = 0; column < columnCount(); ++column) {
        setColumnWidth(column, header()->defaultSectionSize());
    }
}

void ReportListView::mousePressEvent(QMouseEvent *event) {
    // A click where no row is takes the selection away, as it does in a report-style list.
    if (event->button() == Qt::LeftButton && !indexAt(event->position().toPoint()).isValid()) {
        clearSelection();
    }
    QTreeWidget::mousePressEvent(event);
}

void ReportListView::mouseReleaseEvent(QMouseEvent *event) {
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton &&
        viewport()->rect().contains(event->position().toPoint())) {
        emit itemAreaClicked();
    }
}
