#pragma once

#include "fractions/editorrules.h"
#include "fractions/fractionlist.h"
#include "preview/sample.h"
#include "toolkit/defaultbutton.h"
#include "toolkit/fixedsizeframe.h"
#include "toolkit/qtcontrols.h"
#include "toolkit/qtsurface.h"

#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class TMainForm;
}

// The main window: the fraction list with its entry editor, the markup pane and the sample.
// Each control event has one handler, named after the control and the event.
class TMainForm : public QWidget {
    Q_OBJECT
public:
    using FontChooserFactory =
        std::function<std::unique_ptr<toolkit::FontChooser>(const toolkit::Font &, QWidget *)>;

    explicit TMainForm(QWidget *parent = nullptr);
    // Tests hand in a chooser that answers without showing a dialog.
    explicit TMainForm(const FontChooserFactory &makeFontChooser, QWidget *parent = nullptr);
    ~TMainForm() override;

    const toolkit::QtSurface &previewSurface() const { return surface_; }

private:
    void FormCreate();
    void ListBoxClick();
    void ListBoxChange();
    void ChangeBClick();
    void DeleteBClick();
    void MakeBClick();
    void MakeHtml5MIClick();
    void MakeMathMlMIClick();
    void CopyBClick();
    void VisSCClick();
    void FontBClick();

    void connectHandlers();
    void fitLabelsToTexts();

    std::unique_ptr<Ui::TMainForm> ui;
    bool SampleVisible = false;

    fractions::FractionList list_;
    toolkit::QtEditBox nmntE_;
    toolkit::QtEditBox dnmnE_;
    toolkit::QtPushButton changeB_;
    toolkit::QtPushButton deleteB_;
    toolkit::QtPushButton fontB_;
    toolkit::QtMultiLineEdit memo_;
    toolkit::QtCheckBox visSC_;
    toolkit::DefaultButton defaultButton_;
    toolkit::FixedSizeFrame frame_;
    toolkit::QtSurface surface_;
    preview::Sample sample_;
    std::unique_ptr<toolkit::FontChooser> FD;
};
