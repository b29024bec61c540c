#include "main/mainform.h"

#include "main/spokenwords.h"
#include "markup/mathmarkup.h"
#include "markup/tablemarkup.h"
#include "markup/texmarkup.h"
#include "markup/textmarkup.h"
#include "preview/sampleink.h"
#include "toolkit/accessibility/announcer.h"
#include "toolkit/accessibility/notice.h"
#include "toolkit/platform/fonts.h"
#include "toolkit/qt/qtcontrols.h"
#include "ui_mainform.h"

#include <QApplication>
#include <QStyleOptionButton>


namespace {

std::unique_ptr<Ui::TMainForm> setUpUi(QWidget *form) {
    auto ui = std::make_unique<Ui::TMainForm>();
    const toolkit::LayoutFontInPixels fontInPixels(form);
    ui->setupUi(form);
    return ui;
}

} // namespace

TMainForm::TMainForm(const FontChooserFactory &makeFontChooser,
                     std::unique_ptr<toolkit::SaveDialog> saveDialog, QWidget *parent)
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
    , OldPageSC(ui->OldPageSC)
    , UndoMI(ui->UndoMI)
    , RedoMI(ui->RedoMI)
    , DeleteMI(ui->DeleteMI)
    , CutMI(ui->CutMI)
    , CopyMI(ui->CopyMI)
    , Image(*ui->Image)
    , CopyImageMI(ui->CopyImageMI)
    , TagP(ui->TagP, ui->Memo)
    , fractions_(ListBox)
    , defaultButton_(ui->ChangeB)
    , frame_(this)
    , surface_(ui->Image->width(), ui->Image->height(), ui->Image, ui->Image->devicePixelRatioF())
    , sample_(surface_)
    , saveDialog_(saveDialog ? std::move(saveDialog)
                             : std::make_unique<toolkit::QtSaveDialog>(this)) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(size());
    fitLabelsToTexts();
    // The pane's submenu in the window's font, as the pane's menu around it.
    ui->MakeTexM->setAttribute(Qt::WA_WindowPropagation);
    // Redo takes the keys of both families of desktops; a layout names only one.
    ui->RedoMI->setShortcuts({ui->RedoMI->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // So do copy and paste, with the Insert keys of the older family.
    ui->CopyMI->setShortcuts({ui->CopyMI->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    ui->PasteMI->setShortcuts({ui->PasteMI->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    auto *menuLine = new QAction(this);
    menuLine->setSeparator(true);
    ui->ListBox->insertAction(ui->CutMI, menuLine);
    auto *newListLine = new QAction(this);
    newListLine->setSeparator(true);
    ui->ListBox->insertAction(ui->NewListMI, newListLine);
    auto *paneMenuLine = new QAction(this);
    paneMenuLine->setSeparator(true);
    ui->Memo->insertAction(ui->SaveLineImageMI, paneMenuLine);
    // The list's undo and redo also from the controls that have no undo of their own.
    for (QAction *history : {ui->UndoMI, ui->RedoMI}) {
        toolkit::takeKeysAlsoAt(history, {ui->ChangeB, ui->DeleteB, ui->MakeB, ui->CopyB, ui->FontB,
                                          ui->VisSC, ui->OldPageSC, ui->Image});
    }

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
    defaultButton_.setWhileUnavailable([this](QWidget *) { ChangeBRefuse(); });
    connect(ui->NmntE, &QLineEdit::textChanged, this, &TMainForm::NmntEChange);
    connect(ui->DnmnE, &QLineEdit::textChanged, this, &TMainForm::DnmnEChange);
    connect(ui->ChangeB, &QPushButton::clicked, this, &TMainForm::ChangeBClick);
    connect(ui->DeleteB, &QPushButton::clicked, this, &TMainForm::DeleteBClick);
    connect(ui->UndoMI, &QAction::triggered, this, &TMainForm::UndoMIClick);
    connect(ui->RedoMI, &QAction::triggered, this, &TMainForm::RedoMIClick);
    connect(ui->DeleteMI, &QAction::triggered, this, &TMainForm::DeleteMIClick);
    connect(ui->NewListMI, &QAction::triggered, this, &TMainForm::NewListMIClick);
    connect(ui->CutMI, &QAction::triggered, this, &TMainForm::CutMIClick);
    connect(ui->CopyMI, &QAction::triggered, this, &TMainForm::CopyMIClick);
    connect(ui->PasteMI, &QAction::triggered, this, &TMainForm::PasteMIClick);
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
    connect(ui->Memo, &toolkit::MemoPane::replacedTextEdited, this, &TMainForm::MemoChange);
    // The save dialog runs an event loop of its own: not inside the handling of the key or click
    // that chose the item, whose menu is deleted once it closes.
    connect(ui->SaveLineImageMI, &QAction::triggered, this, &TMainForm::SaveLineImageMIClick,
            Qt::QueuedConnection);
    connect(ui->VisSC, &QCheckBox::toggled, this, &TMainForm::VisSCClick);
    connect(ui->OldPageSC, &QCheckBox::toggled, this, &TMainForm::OldPageSCClick);
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
    CutMI.setEnabled(state.deleteEnabled);
    CopyMI.setEnabled(state.deleteEnabled);
    const fractions::Entry shown = state.loadsRow ? fractions_.entry(selected) : fractions::Entry{};
    NmntE.setText(shown.numerator);
    DnmnE.setText(shown.denominator);
}

void TMainForm::ListBoxChange() {
    CopyImageMI.setEnabled(fractions_.entryCount() > 0);
    if (SampleVisible) {
        sample_.redraw(fractions_);
        describeSample();
        surface_.forgetTextsNotMeasured();
    }
}

// With no row selected, what is typed can be added as a new entry: Change is there for it as soon
// as a box holds a text.
void TMainForm::NmntEChange() {
    const bool typed = !NmntE.text().isEmpty() || !DnmnE.text().isEmpty();
    ChangeB.setEnabled(fractions::editorStateFor(ListBox.selectedIndex(), fractions_.count(), typed)
                           .changeEnabled);
}

void TMainForm::DnmnEChange() {
    NmntEChange();
}

void TMainForm::ChangeBClick() {
    int selected = ListBox.selectedIndex();
    if (selected == -1) {
        // What was typed with no row selected becomes a new entry, as if the entry row had been
        // selected first, rather than being lost. Selecting it here would empty the boxes.
        if (NmntE.text().isEmpty() && DnmnE.text().isEmpty()) {
            return;
        }
        const QSignalBlocker typed(&ListBox);
        selected = fractions_.count() - 1;
        ListBox.selectRow(selected);
    }
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
    makeMemoAgain();
    if (result != fractions::FractionList::Commit::Rejected) {
        toolkit::announce(ui->ChangeB, result == fractions::FractionList::Commit::AddedEntry
                                           ? spoken::added(entry)
                                           : spoken::changed(entry));
        tellShownOtherwise(entry);
    }
}

// Enter while no row is selected and nothing is typed commits nothing: say why, where a sighted
// user would see only that nothing happened.
void TMainForm::ChangeBRefuse() {
    toolkit::tell(ui->ChangeB, spoken::NoRowSelected);
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
    makeMemoAgain();
    toolkit::announce(ui->DeleteB, spoken::deleted(entry));
}

// The list's menu and keys. Undo and redo change the list as a commit or a delete did, whole,
// and show the row the change was made on as a click there does.
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
    makeMemoAgain();
}

void TMainForm::enableHistoryItems() {
    UndoMI.setEnabled(fractions_.canUndo());
    RedoMI.setEnabled(fractions_.canRedo());
}

void TMainForm::DeleteMIClick() {
    DeleteBClick();
}

// A new, empty list, as one change that Ctrl+Z takes back.
void TMainForm::NewListMIClick() {
    const int removed = fractions_.entryCount();
    {
        const QSignalBlocker whole(&ListBox);
        if (!fractions_.clear()) {
            return;
        }
    }
    ListBox.selectRow(0);
    ListBoxClick();
    ListBoxChange();
    enableHistoryItems();
    makeMemoAgain();
    toolkit::announce(ui->ListBox, spoken::newList(static_cast<std::size_t>(removed)));
}

void TMainForm::MakeBClick() {
    const MemoForm form = madeTable();
    writeMemo(form);
    const QString made = spoken::made(spoken::tableForm(form == MemoForm::Table));
    if (!tellPageOnce(made)) {
        toolkit::announce(ui->MakeB, made);
    }
}

// The pane's context-menu items. Make's table for today's pages: standards mode, content
// management systems, screen readers.
void TMainForm::MakeHtml5MIClick() {
    writeMemo(MemoForm::Html5);
    toolkit::announce(ui->Memo, spoken::made(spoken::Html5Form));
}

// The row as MathML, which needs no image.
void TMainForm::MakeMathMlMIClick() {
    writeMemo(MemoForm::MathMl);
    toolkit::announce(ui->Memo, spoken::made(spoken::MathMlForm));
}

// The row as TeX, for the Markdown of blogs and wikis that typeset it and take no HTML, in the
// form each family of sites reads as written.
void TMainForm::MakeTexZennMIClick() {
    writeMemo(MemoForm::TexZenn);
    toolkit::announce(ui->Memo, spoken::made(spoken::texForm(ui->MakeTexZennMI->text())));
}

void TMainForm::MakeTexQiitaMIClick() {
    writeMemo(MemoForm::TexQiita);
    toolkit::announce(ui->Memo, spoken::made(spoken::texForm(ui->MakeTexQiitaMI->text())));
}

void TMainForm::MakeTexHatenaMIClick() {
    writeMemo(MemoForm::TexHatena);
    toolkit::announce(ui->Memo, spoken::made(spoken::texForm(ui->MakeTexHatenaMI->text())));
}

void TMainForm::MakeTexMIClick() {
    writeMemo(MemoForm::Tex);
    toolkit::announce(ui->Memo, spoken::made(spoken::texForm(ui->MakeTexMI->text())));
}

// The row as one line of text, for chats and other places that take only text.
void TMainForm::MakeTextMIClick() {
    writeMemo(MemoForm::Text);
    toolkit::announce(ui->Memo, spoken::made(spoken::TextForm));
}

void TMainForm::writeMemo(MemoForm form) {
    switch (form) {
    case MemoForm::None:
        return;
    case MemoForm::Table:
        Memo.setText(markup::tableText(fractions_, PathE.text()));
        break;
    case MemoForm::Html5:
        Memo.setText(markup::tableText(fractions_, PathE.text(), markup::PageMode::Standards));
        break;
    case MemoForm::MathMl:
        Memo.setText(markup::mathText(fractions_));
        break;
    case MemoForm::TexZenn:
        Memo.setText(markup::texTextWithoutDollar(fractions_));
        break;
    case MemoForm::TexQiita:
        Memo.setText(markup::texMathFenceText(fractions_));
        break;
    case MemoForm::TexHatena:
        Memo.setText(markup::texHatenaText(fractions_));
        break;
    case MemoForm::Tex:
        Memo.setText(markup::texText(fractions_));
        break;
    case MemoForm::Text:
        Memo.setText(markup::plainText(fractions_));
        break;
    }
    memoForm_ = form;
    memoEdited_ = false;
    showMemoForm();
}

// So that Copy copies what the sample shows. The pane edits only the lines that differ, so that
// this stays quick in long lists; a pane edited by hand is the user's and is left alone.
void TMainForm::makeMemoAgain() {
    if (memoForm_ != MemoForm::None && !memoEdited_ && Memo.showsTextSet()) {
        writeMemo(memoForm_);
    }
}

void TMainForm::MemoChange() {
    memoEdited_ = true;
    showMemoForm();
}

void TMainForm::showMemoForm() {
    const QString name = [this] {
        switch (memoForm_) {
        case MemoForm::None:
            break;
        case MemoForm::Table:
            return tr("作成");
        case MemoForm::Html5:
            return tr("HTML5");
        case MemoForm::MathMl:
            return tr("MathML");
        case MemoForm::TexZenn:
            return tr("TeX・Zenn");
        case MemoForm::TexQiita:
            return tr("TeX・Qiita");
        case MemoForm::TexHatena:
            return tr("TeX・はてな");
        case MemoForm::Tex:
            return tr("TeX");
        case MemoForm::Text:
            return tr("テキスト");
        }
        return QString();
    }();
    if (memoForm_ == MemoForm::None) {
        TagP.setCaption(tr("タグ"));
    } else if (memoEdited_) {
        TagP.setCaption(tr("タグ（%1：手で編集、リストと不一致）").arg(name));
    } else {
        TagP.setCaption(tr("タグ（%1）").arg(name));
    }
}

// An empty pane has nothing to copy: the table is made first, as Make makes it.
void TMainForm::CopyBClick() {
    if (Memo.isEmpty()) {
        MakeBClick();
    }
    Memo.selectAll();
    Memo.copySelection();
    toolkit::tell(ui->CopyB, spoken::Copied);
}
