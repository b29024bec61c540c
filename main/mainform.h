#pragma once

#include "fractions/editorrules.h"
#include "fractions/fractionlist.h"
#include "preview/sample.h"
#include "toolkit/platform/fixedsizeframe.h"
#include "toolkit/qt/defaultbutton.h"
#include "toolkit/qt/qtcontrols.h"
#include "toolkit/qt/qtsurface.h"
#include "toolkit/widgets/reportlistview.h"

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

    // Tests hand in a chooser that answers without showing a dialog; the program has Qt's.
    explicit TMainForm(const FontChooserFactory &makeFontChooser = {}, QWidget *parent = nullptr);
    ~TMainForm() override;

    const toolkit::QtSurface &previewSurface() const { return surface_; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void FormCreate();
    void ListBoxClick();
    void ListBoxChange();
    void ChangeBClick();
    void ChangeBRefuse();
    void DeleteBClick();
    void UndoMIClick();
    void RedoMIClick();
    void DeleteMIClick();
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
    void VisSCClick();
    void FontBClick();
    void ImageRatioChange(qreal ratio);

    void connectHandlers();
    void fitLabelsToTexts();
    void showHistoryStep(int row);
    void enableHistoryItems();

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
    toolkit::QtMenuItem UndoMI;
    toolkit::QtMenuItem RedoMI;
    toolkit::QtMenuItem DeleteMI;
    toolkit::SurfaceImage &Image;
    toolkit::QtMenuItem CopyImageMI;

    // The rows of ListBox as entries.
    fractions::FractionList fractions_;
    toolkit::DefaultButton defaultButton_;
    toolkit::FixedSizeFrame frame_;
    toolkit::QtSurface surface_;
    toolkit::QtClipboard clipboard_;
    preview::Sample sample_;
    std::unique_ptr<toolkit::FontChooser> FD;
};
