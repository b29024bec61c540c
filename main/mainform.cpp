#include "main/mainform.h"

#include "main/spokenwords.h"
#include "markup/mathmarkup.h"
#include "markup/tablemarkup.h"
#include "markup/texmarkup.h"
#include "markup/textmarkup.h"
#include "preview/sampledescription.h"
#include "preview/sampleink.h"
#include "toolkit/announcer.h"
#include "toolkit/platform/fonts.h"
#include "toolkit/qt/qtcontrols.h"
#include "ui_mainform.h"

#include <QApplication>
#include <QStyleOptionButton>

#include <algorithm>

namespace {

std::unique_ptr<Ui::TMainForm> setUpUi(QWidget *form) {
    auto ui = std::make_unique<Ui::TMainForm>();
    const toolkit::LayoutFontInPixels fontInPixels(form);
    ui->setupUi(form);
    return ui;
}

} // namespace

TMainForm::TMainForm(const FontChooserFactory &makeFontChooser, QWidget *parent)
    : QWidget(parent)
    , ui(setUpUi(this))
    , ListBox(*ui->ListBox)
    , NmntE(ui->NmntE)
    , DnmnE(ui->DnmnE)
    , PathE(ui->PathE)
    , ChangeB(ui->ChangeB)
    , DeleteB(ui->DeleteB)
    , FontB(ui->FontB)
    , Memo(ui->Memo)
    , VisSC(ui->VisSC)
    , UndoMI(ui->UndoMI)
    , RedoMI(ui->RedoMI)
    , DeleteMI(ui->DeleteMI)
    , Image(*ui->Image)
    , CopyImageMI(ui->CopyImageMI)
    , fractions_(ListBox)
    , defaultButton_(ui->ChangeB)
    , frame_(this)
    , surface_(ui->Image->width(), ui->Image->height(), ui->Image, ui->Image->devicePixelRatioF())
    , sample_(surface_) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(size());
    fitLabelsToTexts();
    // The pane's submenu in the window's font, as the pane's menu around it.
    ui->MakeTexM->setAttribute(Qt::WA_WindowPropagation);
    // Redo takes the keys of both families of desktops; a layout names only one.
    ui->RedoMI->setShortcuts({ui->RedoMI->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    auto *menuLine = new QAction(this);
    menuLine->setSeparator(true);
    ui->ListBox->insertAction(ui->DeleteMI, menuLine);

    const toolkit::Font fdFont{toolkit::withLayoutPixelSize(property("FD.font").value<QFont>()),
                               preview::sampleInk(palette().color(QPalette::WindowText))};
    FD = makeFontChooser ? makeFontChooser(fdFont, this)
                         : std::make_unique<toolkit::QtFontChooser>(fdFont, this);

    connectHandlers();
    FormCreate();
}

TMainForm::~TMainForm() {
    // The closing window and its dying controls still send notifications: none may reach the
    // handlers once the window is being taken apart.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    ListBox.disconnect(this);
}

void TMainForm::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    // The sample's texts are in the window-text colour until the user picks another one, and
    // follow it through a new palette or colour scheme as the window's own texts do.
    if (event->type() == QEvent::PaletteChange && FD &&
        FD->followWindowText(preview::sampleInk(palette().color(QPalette::WindowText)))) {
        sample_.setFont(FD->currentFont());
        ListBoxChange();
    }
}

void TMainForm::connectHandlers() {
    connect(ui->ListBox, &toolkit::ReportListView::itemAreaClicked, this, &TMainForm::ListBoxClick);
    // The editor follows the selected row however it was selected, so that Change never writes
    // texts the user did not see into another row.
    connect(ui->ListBox, &toolkit::ReportListView::selectedRowChanged, this,
            &TMainForm::ListBoxClick);
    connect(ui->ListBox, &toolkit::ReportListView::itemChangeNotified, this,
            &TMainForm::ListBoxChange);
    connect(ui->ChangeB, &QPushButton::clicked, this, &TMainForm::ChangeBClick);
    connect(&defaultButton_, &toolkit::DefaultButton::refused, this, &TMainForm::ChangeBRefuse);
    connect(ui->DeleteB, &QPushButton::clicked, this, &TMainForm::DeleteBClick);
    connect(ui->UndoMI, &QAction::triggered, this, &TMainForm::UndoMIClick);
    connect(ui->RedoMI, &QAction::triggered, this, &TMainForm::RedoMIClick);
    connect(ui->DeleteMI, &QAction::triggered, this, &TMainForm::DeleteMIClick);
    connect(ui->MakeB, &QPushButton::clicked, this, &TMainForm::MakeBClick);
    connect(ui->MakeHtml5MI, &QAction::triggered, this, &TMainForm::MakeHtml5MIClick);
    connect(ui->MakeMathMlMI, &QAction::triggered, this, &TMainForm::MakeMathMlMIClick);
    connect(ui->MakeTexZennMI, &QAction::triggered, this, &TMainForm::MakeTexZennMIClick);
    connect(ui->MakeTexQiitaMI, &QAction::triggered, this, &TMainForm::MakeTexQiitaMIClick);
    connect(ui->MakeTexHatenaMI, &QAction::triggered, this, &TMainForm::MakeTexHatenaMIClick);
    connect(ui->MakeTexMI, &QAction::triggered, this, &TMainForm::MakeTexMIClick);
    connect(ui->MakeTextMI, &QAction::triggered, this, &TMainForm::MakeTextMIClick);
    connect(ui->CopyImageMI, &QAction::triggered, this, &TMainForm::CopyImageMIClick);
    connect(ui->CopyB, &QPushButton::clicked, this, &TMainForm::CopyBClick);
    connect(ui->VisSC, &QCheckBox::toggled, this, &TMainForm::VisSCClick);
    connect(ui->FontB, &QPushButton::clicked, this, &TMainForm::FontBClick);
    connect(ui->Image, &toolkit::SurfaceImage::devicePixelRatioChanged, this,
            &TMainForm::ImageRatioChange);
}

void TMainForm::fitLabelsToTexts() {
    for (QLabel *label : {ui->TitleL, ui->PBL, ui->CRL, ui->NmntL, ui->DnmnL, ui->PathL}) {
        label->resize(label->fontMetrics().horizontalAdvance(label->text()), label->height());
    }
    // A style with a larger indicator than the layout allows for would cut the check box's text:
    // the box then grows to the left, as far as its text needs, and keeps its right edge.
    QStyleOptionButton option;
    option.initFrom(ui->VisSC);
    const int textRoom =
        style()->subElementRect(QStyle::SE_CheckBoxContents, &option, ui->VisSC).width();
    const int needed = ui->VisSC->width() - textRoom +
                       ui->VisSC->fontMetrics().horizontalAdvance(ui->VisSC->text());
    if (needed > ui->VisSC->width()) {
        QRect box = ui->VisSC->geometry();
        box.setLeft(box.right() + 1 - needed);
        ui->VisSC->setGeometry(box);
    }
}

void TMainForm::FormCreate() {
    SampleVisible = true;
    sample_.setFont(FD->currentFont());
}

void TMainForm::ListBoxClick() {
    const int selected = ListBox.selectedIndex();
    const fractions::EditorState state = fractions::editorStateFor(selected, fractions_.count());
    ChangeB.setEnabled(state.changeEnabled);
    DeleteB.setEnabled(state.deleteEnabled);
    DeleteMI.setEnabled(state.deleteEnabled);
    const fractions::Entry shown = state.loadsRow ? fractions_.entry(selected) : fractions::Entry{};
    NmntE.setText(shown.numerator);
    DnmnE.setText(shown.denominator);
}

void TMainForm::ListBoxChange() {
    CopyImageMI.setEnabled(fractions_.entryCount() > 0);
    if (SampleVisible) {
        sample_.redraw(fractions_);
        Image.describe(preview::describeSample(fractions_));
        surface_.forgetTextsNotMeasured();
    }
}

void TMainForm::ChangeBClick() {
    const int selected = ListBox.selectedIndex();
    const fractions::Entry entry{NmntE.text(), DnmnE.text()};
    const auto result = [&] {
        // The list tells of each text of the entry as it changes: the sample, and what screen
        // readers are told of it, follow once the entry is whole.
        const QSignalBlocker whole(&ListBox);
        return fractions_.commit(selected, entry);
    }();
    if (result == fractions::FractionList::Commit::AddedEntry) {
        ListBox.selectRow(selected + 1);
        ListBoxClick();
    }
    NmntE.focus();
    ListBoxChange();
    enableHistoryItems();
    if (result != fractions::FractionList::Commit::Rejected) {
        toolkit::announce(ui->ChangeB, result == fractions::FractionList::Commit::AddedEntry
                                           ? spoken::added(entry)
                                           : spoken::changed(entry));
    }
}

// Enter with no row selected commits nothing; a sighted user sees no row selected.
void TMainForm::ChangeBRefuse() {
    toolkit::announce(ui->ChangeB, spoken::NoRowSelected);
}

void TMainForm::DeleteBClick() {
    const int selected = ListBox.selectedIndex();
    const bool hadFocus = DeleteB.hasFocus();
    const fractions::Entry entry =
        fractions_.isEntry(selected) ? fractions_.entry(selected) : fractions::Entry{};
    if (!fractions_.remove(selected)) {
        return;
    }
    ListBox.selectRow(selected);
    ListBoxClick();
    // Deleting the last entry disables Delete under the user's hands: the focus goes back to
    // the list rather than on to an unrelated button.
    if (hadFocus && !DeleteB.isEnabled()) {
        ListBox.setFocus(Qt::OtherFocusReason);
    }
    ListBoxChange();
    enableHistoryItems();
    toolkit::announce(ui->DeleteB, spoken::deleted(entry));
}

// The list's menu and keys. Undo and redo change the list as a commit or a delete did, whole,
// and show the row the change was made on as a click there does; the pane keeps its text.
void TMainForm::UndoMIClick() {
    const int row = [&] {
        const QSignalBlocker whole(&ListBox);
        return fractions_.undo();
    }();
    showHistoryStep(row);
    if (row >= 0) {
        toolkit::announce(ui->ListBox, spoken::undone(fractions_.lastStep()));
    }
}

void TMainForm::RedoMIClick() {
    const int row = [&] {
        const QSignalBlocker whole(&ListBox);
        return fractions_.redo();
    }();
    showHistoryStep(row);
    if (row >= 0) {
        toolkit::announce(ui->ListBox, spoken::redone(fractions_.lastStep()));
    }
}

void TMainForm::showHistoryStep(int row) {
    if (row < 0) {
        return;
    }
    // The keys go on from the row that changed, which may have been scrolled out of sight.
    ListBox.markRow(row);
    ListBox.selectRow(row);
    ListBoxClick();
    ListBoxChange();
    enableHistoryItems();
}

void TMainForm::enableHistoryItems() {
    UndoMI.setEnabled(fractions_.canUndo());
    RedoMI.setEnabled(fractions_.canRedo());
}

void TMainForm::DeleteMIClick() {
    DeleteBClick();
}

void TMainForm::MakeBClick() {
    Memo.setText(markup::tableText(fractions_, PathE.text()));
    toolkit::announce(ui->MakeB, spoken::made(spoken::TableForm));
}

// The pane's context-menu items. Make's table for today's pages: standards mode, content
// management systems, screen readers.
void TMainForm::MakeHtml5MIClick() {
    Memo.setText(markup::tableText(fractions_, PathE.text(), markup::PageMode::Standards));
    toolkit::announce(ui->Memo, spoken::made(spoken::Html5Form));
}

// The row as MathML, which needs no image.
void TMainForm::MakeMathMlMIClick() {
    Memo.setText(markup::mathText(fractions_));
    toolkit::announce(ui->Memo, spoken::made(spoken::MathMlForm));
}

// The row as TeX, for the Markdown of blogs and wikis that typeset it and take no HTML, in the
// form each family of sites reads as written.
void TMainForm::MakeTexZennMIClick() {
    Memo.setText(markup::texTextWithoutDollar(fractions_));
    toolkit::announce(ui->Memo, spoken::made(spoken::texForm(ui->MakeTexZennMI->text())));
}

void TMainForm::MakeTexQiitaMIClick() {
    Memo.setText(markup::texMathFenceText(fractions_));
    toolkit::announce(ui->Memo, spoken::made(spoken::texForm(ui->MakeTexQiitaMI->text())));
}

void TMainForm::MakeTexHatenaMIClick() {
    Memo.setText(markup::texHatenaText(fractions_));
    toolkit::announce(ui->Memo, spoken::made(spoken::texForm(ui->MakeTexHatenaMI->text())));
}

void TMainForm::MakeTexMIClick() {
    Memo.setText(markup::texText(fractions_));
    toolkit::announce(ui->Memo, spoken::made(spoken::texForm(ui->MakeTexMI->text())));
}

// The row as one line of text, for chats and other places that take only text.
void TMainForm::MakeTextMIClick() {
    Memo.setText(markup::plainText(fractions_));
    toolkit::announce(ui->Memo, spoken::made(spoken::TextForm));
}

// The whole row as the sample draws it, for mail, chats and documents that take a picture.
// At twice the window's pixels at least, so that it stays sharp in a document or on a scaled
// screen; shown or hidden, the sample's surface has the font and measures the texts.
void TMainForm::CopyImageMIClick() {
    const preview::RowLayout row = preview::layOutRow(fractions_, surface_);
    toolkit::QtSurface picture(row.width, row.height, nullptr,
                               std::max<qreal>(2, Image.devicePixelRatioF()));
    picture.setFont(FD->currentFont());
    preview::drawSteps(picture, row.steps);
    const QString reading = markup::pictureReading(fractions_, row.entryCount);
    const QByteArray png = toolkit::pngOf(picture.picture());
    clipboard_.setPicture(png, markup::pictureHtml(png, {row.width, row.height}, reading), reading);
    toolkit::announce(ui->Image, spoken::PictureCopied);
}

void TMainForm::CopyBClick() {
    Memo.selectAll();
    Memo.copySelection();
    toolkit::announce(ui->CopyB, spoken::Copied);
}

void TMainForm::VisSCClick() {
    SampleVisible = VisSC.isChecked();
    if (SampleVisible) {
        ListBoxChange();
    }
    Image.setVisible(SampleVisible);
    FontB.setVisible(SampleVisible);
    toolkit::announce(ui->VisSC, SampleVisible
                                     ? spoken::sampleShown(preview::describeSample(fractions_))
                                     : spoken::SampleHidden);
}

// A new screen or a new scale: the sample is drawn again in as many pixels as the screen shows.
void TMainForm::ImageRatioChange(qreal ratio) {
    surface_.setDevicePixelRatio(ratio);
    sample_.pictureReplaced();
    ListBoxChange();
}

void TMainForm::FontBClick() {
    if (FD->execute()) {
        sample_.setFont(FD->currentFont());
    }
    ListBoxChange();
}
