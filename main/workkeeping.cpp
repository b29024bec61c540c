// The main window's part in keeping the user's work between runs.
#include "main/mainform.h"
#include "toolkit/accessibility/notice.h"
#include "ui_mainform.h"

#include <QCloseEvent>
#include <QDir>

#include <array>

namespace {

// The pane's forms by the names the work file gives them, in the order of TMainForm::MemoForm.
constexpr std::array<QStringView, 9> MemoFormNames{
    u"", u"table", u"html5", u"mathml", u"tex-zenn", u"tex-qiita", u"tex-hatena", u"tex", u"text"};

// Writes are put off this long after a change, so that typing writes once, not at every key.
constexpr int WriteDelayMs = 500;

} // namespace

void TMainForm::keepWorkIn(const QString &path) {
    workFile_.emplace(path);
    const keptwork::WorkFile::Loaded loaded = workFile_->load();
    if (loaded.work) {
        restoreWork(*loaded.work);
    } else if (!loaded.setAside.isEmpty()) {
        workTrouble_ = tr("前回の作業を読み込めなかったため、空のリストで始めました。"
                          "読み込めなかったファイル：%1")
                           .arg(QDir::toNativeSeparators(loaded.setAside));
        // A file that could not be moved aside is not written over.
        if (loaded.setAside == path) {
            workFile_.reset();
            return;
        }
    }
    workWrite_.setSingleShot(true);
    workWrite_.setInterval(WriteDelayMs);
    connect(&workWrite_, &QTimer::timeout, this, &TMainForm::writeWork);
    const auto changed = [this] { workChanged(); };
    QAbstractItemModel *rows = ui->ListBox->model();
    connect(rows, &QAbstractItemModel::dataChanged, this, changed);
    connect(rows, &QAbstractItemModel::rowsInserted, this, changed);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(ui->PathE, &QLineEdit::textChanged, this, changed);
    connect(ui->Memo, &QPlainTextEdit::textChanged, this, changed);
    connect(ui->VisSC, &QCheckBox::toggled, this, changed);
    connect(ui->OldPageSC, &QCheckBox::toggled, this, changed);
}

keptwork::KeptWork TMainForm::keptWork() const {
    keptwork::KeptWork work;
    work.entries = fractions_.entries();
    work.path = PathE.text();
    if (pageTold_) {
        work.oldPage = OldPageSC.isChecked();
    }
    const toolkit::Font font = FD->currentFont();
    work.font = keptwork::KeptWork::Font{
        font.face.toString(), FD->inWindowText() ? QString() : font.color.name(QColor::HexArgb),
        static_cast<int>(font.script)};
    work.sampleVisible = SampleVisible;
    work.paneForm = MemoFormNames[static_cast<size_t>(memoForm_)].toString();
    // A pane that follows the list is made again from it; one typed by hand is kept as typed.
    if ((memoForm_ == MemoForm::None || memoEdited_) && !Memo.isEmpty()) {
        work.paneTextEdited = ui->Memo->plainText();
    }
    return work;
}

void TMainForm::restoreWork(const keptwork::KeptWork &work) {
    {
        const QSignalBlocker whole(&ListBox);
        fractions_.restore(work.entries);
    }
    PathE.setText(work.path);
    {
        const QSignalBlocker quiet(ui->OldPageSC);
        ui->OldPageSC->setChecked(work.oldPage.value_or(false));
        pageTold_ = work.oldPage.has_value();
    }
    QFont face;
    if (work.font && face.fromString(work.font->face)) {
        const bool inWindowText = work.font->color.isEmpty();
        FD->restore({face, inWindowText ? FD->currentFont().color : QColor(work.font->color),
                     static_cast<QFontDatabase::WritingSystem>(work.font->script)},
                    inWindowText);
        sample_.setFont(FD->currentFont());
    }
    if (!work.sampleVisible) {
        // As VisSCClick hides the sample, without telling of it: nothing was done yet.
        const QSignalBlocker quiet(ui->VisSC);
        ui->VisSC->setChecked(false);
        SampleVisible = false;
        Image.setVisible(false);
        FontB.setVisible(false);
    }
    const auto named = std::find(MemoFormNames.begin(), MemoFormNames.end(), work.paneForm);
    const auto form = named == MemoFormNames.end()
                          ? MemoForm::None
                          : static_cast<MemoForm>(named - MemoFormNames.begin());
    if (work.paneTextEdited) {
        Memo.setText(*work.paneTextEdited);
        memoForm_ = form;
        memoEdited_ = form != MemoForm::None;
        showMemoForm();
    } else {
        writeMemo(form);
    }
    ListBoxChange();
}

void TMainForm::workChanged() {
    if (workFile_) {
        workWrite_.start();
    }
}

void TMainForm::writeWork() {
    workWrite_.stop();
    QString error;
    if (workFile_->save(keptWork(), &error)) {
        workUnwritable_ = false;
        return;
    }
    // Said once, not at every change while the folder stays unwritable.
    if (!workUnwritable_) {
        workUnwritable_ = true;
        tellListTrouble(tr("作業を保存できませんでした：%1\n%2")
                            .arg(QDir::toNativeSeparators(workFile_->path()), error));
    }
}

void TMainForm::closeEvent(QCloseEvent *event) {
    if (workWrite_.isActive()) {
        writeWork();
    }
    QWidget::closeEvent(event);
}

void TMainForm::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!workTrouble_.isEmpty()) {
        // Once the window is there to show the words at.
        QTimer::singleShot(0, this, [this, words = std::exchange(workTrouble_, {})] {
            toolkit::tell(ui->ListBox, words, {ui->ListBox->noticePoint(), 10000, true});
        });
    }
}
