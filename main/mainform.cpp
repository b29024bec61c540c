#include "main/mainform.h"

#include "markup/tablemarkup.h"
#include "preview/sampledescription.h"
#include "toolkit/fonts.h"
#include "toolkit/qtfontchooser.h"
#include "ui_mainform.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

std::unique_ptr<Ui::TMainForm> setUpUi(QWidget *form) {
    auto ui = std::make_unique<Ui::TMainForm>();
    ui->setupUi(form);
    return ui;
}

std::unique_ptr<toolkit::FontChooser> makeQtFontChooser(const toolkit::Font &initial,
                                                        QWidget *parent) {
    return std::make_unique<toolkit::QtFontChooser>(initial, parent);
}

} // namespace

TMainForm::TMainForm(QWidget *parent)
    : TMainForm(makeQtFontChooser, parent) {}

TMainForm::TMainForm(const FontChooserFactory &makeFontChooser, QWidget *parent)
    : QWidget(parent)
    , ui(setUpUi(this))
    , list_(*ui->ListBox)
    , nmntE_(ui->NmntE)
    , dnmnE_(ui->DnmnE)
    , changeB_(ui->ChangeB)
    , deleteB_(ui->DeleteB)
    , fontB_(ui->FontB)
    , memo_(ui->Memo)
    , visSC_(ui->VisSC)
    , surface_(ui->Image->width(), ui->Image->height(), ui->Image, ui->Image->devicePixelRatioF())
    , sample_(surface_) {
    setFont(toolkit::withLayoutPixelSize(font()));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(size());
    fitLabelsToTexts();

    const toolkit::Font fdFont{toolkit::withLayoutPixelSize(property("FD.font").value<QFont>()),
                               palette().color(QPalette::WindowText)};
    FD = makeFontChooser(fdFont, this);
    // The layout leaves an empty text out, so the entry row gets its one, empty, sub-item here.
    ui->ListBox->setSubItem(list_.count() - 1, QString());

    connectHandlers();
    FormCreate();
}

TMainForm::~TMainForm() {
    // The closing window and its dying controls still send notifications: none may reach the
    // handlers once the window is being taken apart.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    ui->ListBox->disconnect(this);
}

void TMainForm::connectHandlers() {
    connect(ui->ListBox, &ReportListView::itemAreaClicked, this, &TMainForm::ListBoxClick);
    // The editor follows the selected row however it was selected, so that Change never writes
    // texts the user did not see into another row.
    connect(ui->ListBox, &ReportListView::selectedRowChanged, this, &TMainForm::ListBoxClick);
    connect(ui->ListBox, &ReportListView::itemChangeNotified, this, &TMainForm::ListBoxChange);
    connect(ui->ChangeB, &QPushButton::clicked, this, &TMainForm::ChangeBClick);
    connect(ui->DeleteB, &QPushButton::clicked, this, &TMainForm::DeleteBClick);
    connect(ui->MakeB, &QPushButton::clicked, this, &TMainForm::MakeBClick);
    connect(ui->CopyB, &QPushButton::clicked, this, &TMainForm::CopyBClick);
    connect(ui->VisSC, &QCheckBox::toggled, this, &TMainForm::VisSCClick);
    connect(ui->FontB, &QPushButton::clicked, this, &TMainForm::FontBClick);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { followDefaultButton(now); });
}

void TMainForm::fitLabelsToTexts() {
    for (QLabel *label : {ui->TitleL, ui->PBL, ui->CRL, ui->NmntL, ui->DnmnL, ui->PathL}) {
        label->resize(label->fontMetrics().horizontalAdvance(label->text()), label->height());
    }
}

void TMainForm::FormCreate() {
    SampleVisible = true;
    sample_.setFont(FD->currentFont());
}

void TMainForm::ListBoxClick() {
    const int selected = ui->ListBox->selectedIndex();
    const fractions::EditorState state = fractions::editorStateFor(selected, list_.count());
    changeB_.setEnabled(state.changeEnabled);
    deleteB_.setEnabled(state.deleteEnabled);
    const fractions::Entry shown = state.loadsRow ? list_.entry(selected) : fractions::Entry{};
    nmntE_.setText(shown.numerator);
    dnmnE_.setText(shown.denominator);
}

void TMainForm::ListBoxChange() {
    if (SampleVisible) {
        sample_.redraw(list_);
        ui->Image->setAccessibleDescription(preview::describeSample(list_));
        surface_.forgetTextsNotMeasured();
    }
}

void TMainForm::ChangeBClick() {
    const int selected = ui->ListBox->selectedIndex();
    const auto result = list_.commit(selected, {nmntE_.text(), dnmnE_.text()});
    if (result == fractions::FractionList::Commit::AddedEntry) {
        ui->ListBox->selectRow(selected + 1);
        ListBoxClick();
    }
    nmntE_.focus();
    ListBoxChange();
}

void TMainForm::DeleteBClick() {
    const int selected = ui->ListBox->selectedIndex();
    const bool hadFocus = ui->DeleteB->hasFocus();
    if (!list_.remove(selected)) {
        return;
    }
    ui->ListBox->selectRow(selected);
    ListBoxClick();
    // Deleting the last entry disables Delete under the user's hands: the focus goes back to
    // the list rather than on to an unrelated button.
    if (hadFocus && !deleteB_.isEnabled()) {
        ui->ListBox->setFocus(Qt::OtherFocusReason);
    }
    ListBoxChange();
}

void TMainForm::MakeBClick() {
    memo_.setText(markup::tableText(list_, ui->PathE->text()));
}

void TMainForm::CopyBClick() {
    memo_.selectAll();
    memo_.copySelection();
}

void TMainForm::VisSCClick() {
    SampleVisible = visSC_.isChecked();
    if (SampleVisible) {
        ListBoxChange();
    }
    ui->Image->setVisible(SampleVisible);
    fontB_.setVisible(SampleVisible);
}

void TMainForm::FontBClick() {
    if (FD->execute()) {
        sample_.setFont(FD->currentFont());
    }
    ListBoxChange();
}

void TMainForm::keyPressEvent(QKeyEvent *event) {
    // Enter reaches the window when the focused control has no use for it: it then activates the
    // default button. A focused push button takes Enter itself, and the markup pane keeps it.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        if (ui->ChangeB->isEnabled() && ui->ChangeB->isVisible()) {
            ui->ChangeB->click();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void TMainForm::followDefaultButton(QWidget *focused) {
    // While another push button has the focus, it is the one Enter activates and shows as such.
    const bool otherButton = qobject_cast<QPushButton *>(focused) != nullptr &&
                             focused != ui->ChangeB && isAncestorOf(focused);
    ui->ChangeB->setDefault(!otherButton);
}
