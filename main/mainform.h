#pragma once

#include "fractions/editorrules.h"
#include "fractions/fractionlist.h"
#include "keptwork/workfile.h"
#include "preview/sample.h"
#include "toolkit/platform/fixedsizeframe.h"
#include "toolkit/qt/defaultbutton.h"
#include "toolkit/qt/qtcontrols.h"
#include "toolkit/qt/qtsurface.h"
#include "toolkit/widgets/reportlistview.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class TMainForm;
}

// The main window: the fraction list with its entry editor, the markup pane and the sample.
// Each control event has one handler, named after the control and the event. The handlers reach
// each control through its member of the same name, by the window operations of toolkit/; `ui`
// only builds the window and connects the handlers.
class TMainForm : public QWidget {
    Q_OBJECT
public:
    using FontChooserFactory =
        std::function<std::unique_ptr<toolkit::FontChooser>(const toolkit::Font &, QWidget *)>;

    // Tests hand in a chooser and a save dialog that answer without showing a dialog; the program
    // has Qt's.
    explicit TMainForm(const FontChooserFactory &makeFontChooser = {},
                       std::unique_ptr<toolkit::SaveDialog> saveDialog = {},
                       QWidget *parent = nullptr);
    ~TMainForm() override;

    const toolkit::QtSurface &previewSurface() const { return surface_; }

    // Keeps the user's work in the file at `path`: the work kept there comes back now, and every
    // change is written there soon after it is made, and at the latest as the window closes. A
    // file that cannot be read is set aside, and the user is told once the window shows.
    void keepWorkIn(const QString &path);

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void ListBoxClick();
    void ListBoxChange();
    void NmntEChange();
    void DnmnEChange();
    void ChangeBClick();
    void ChangeBRefuse();
    void DeleteBClick();
    void UndoMIClick();
    void RedoMIClick();
    void DeleteMIClick();
    void NewListMIClick();
    void CutMIClick();
    void CopyMIClick();
    void PasteMIClick();
    void MakeBClick();
    void MakeHtml5MIClick();
    void MakeMathMlMIClick();
    void MakeTexZennMIClick();
    void MakeTexQiitaMIClick();
    void MakeTexHatenaMIClick();
    void MakeTexMIClick();
    void MakeTextMIClick();
    void CopyImageMIClick();
    void CopyBClick();
    void MemoChange();
    void SaveLineImageMIClick();
    void VisSCClick();
    void OldPageSCClick();
    void FontBClick();
    void ImageRatioChange(qreal ratio);

    void connectHandlers();
    void fitLabelsToTexts();
    void describeSample();
    void showHistoryStep(int row);
    void enableHistoryItems();
    // The forms of markup the pane can hold, each made by one command.
    enum class MemoForm { None, Table, Html5, MathMl, TexZenn, TexQiita, TexHatena, Tex, Text };
    void writeMemo(MemoForm form);
    // The table Make writes for the page the user writes for.
    MemoForm madeTable() const;
    void tellShownOtherwise(const fractions::Entry &entry);
    bool tellPageOnce(const QString &made);
    // After every change of the list: the pane is made again in its form while it still holds
    // what the last command wrote.
    void makeMemoAgain();
    void tellListTrouble(const QString &words);
    void showMemoForm();
    // The work kept between runs: what of it the window shows, written a moment after each change.
    keptwork::KeptWork keptWork() const;
    void restoreWork(const keptwork::KeptWork &work);
    void workChanged();
    void writeWork();

    std::unique_ptr<Ui::TMainForm> ui;
    bool SampleVisible = false;

    toolkit::ReportListView &ListBox;
    toolkit::QtEditBox NmntE;
    toolkit::QtEditBox DnmnE;
    toolkit::QtEditBox PathE;
    toolkit::QtPushButton ChangeB;
    toolkit::QtPushButton DeleteB;
    toolkit::QtPushButton FontB;
    toolkit::QtMultiLineEdit Memo;
    toolkit::QtCheckBox VisSC;
    toolkit::QtCheckBox OldPageSC;
    toolkit::QtMenuItem UndoMI;
    toolkit::QtMenuItem RedoMI;
    toolkit::QtMenuItem DeleteMI;
    toolkit::QtMenuItem CutMI;
    toolkit::QtMenuItem CopyMI;
    toolkit::SurfaceImage &Image;
    toolkit::QtMenuItem CopyImageMI;
    toolkit::QtGroupBox TagP;

    // The rows of ListBox as entries.
    fractions::FractionList fractions_;
    toolkit::DefaultButton defaultButton_;
    toolkit::FixedSizeFrame frame_;
    toolkit::QtSurface surface_;
    toolkit::QtClipboard clipboard_;
    preview::Sample sample_;
    std::unique_ptr<toolkit::FontChooser> FD;
    std::unique_ptr<toolkit::SaveDialog> saveDialog_;
    // The form of the pane's text, and whether it was edited by hand since it was made.
    MemoForm memoForm_ = MemoForm::None;
    bool memoEdited_ = false;
    // Whether the user was told of 古いページ用 or chose with it.
    bool pageTold_ = false;
    std::optional<keptwork::WorkFile> workFile_;
    QTimer workWrite_;
    // What to tell the user about the kept work once the window shows.
    QString workTrouble_;
    bool workUnwritable_ = false;
};
