// The sample's handlers: what screen readers read of it, showing and hiding it, its font, and the
// screen's scale.
#include "main/mainform.h"
#include "main/spokenwords.h"
#include "preview/sampledescription.h"
#include "toolkit/accessibility/announcer.h"
#include "ui_mainform.h"

// The picture takes no focus: the check box beside it reads its text to screen readers.
void TMainForm::describeSample() {
    const QString text = preview::describeSample(fractions_);
    Image.describe(text);
    toolkit::describe(ui->VisSC, spoken::sampleShown(text));
}

void TMainForm::VisSCClick() {
    SampleVisible = VisSC.isChecked();
    if (SampleVisible) {
        ListBoxChange();
    } else {
        toolkit::describe(ui->VisSC, {});
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
        workChanged();
    }
    ListBoxChange();
}
