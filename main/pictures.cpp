// The row as a picture on the clipboard, and the line image saved where the user's page finds it.
#include "main/mainform.h"
#include "main/spokenwords.h"
#include "markup/textmarkup.h"
#include "preview/sample.h"
#include "preview/samplelayout.h"
#include "toolkit/accessibility/notice.h"
#include "toolkit/qt/qtcontrols.h"
#include "ui_mainform.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

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
    // Said where the user looks: the sample, or the pane when the sample is hidden or the pane
    // has the focus.
    QWidget *at = ui->Image->isVisible() && !ui->Memo->hasFocus()
                      ? static_cast<QWidget *>(ui->Image)
                      : ui->Memo;
    toolkit::tell(at, spoken::PictureCopied);
}

// The line image the markup points at, a black pixel that the table stretches to each fraction's
// width, written where the user's page can find it.
void TMainForm::SaveLineImageMIClick() {
    const QString title = tr("中線画像を保存");
    const QString path =
        saveDialog_->choosePath(title, QStringLiteral("fracline.gif"), tr("GIF 画像 (*.gif)"));
    if (path.isEmpty()) {
        return;
    }
    QFile carried(QStringLiteral(":/pemvaro/fracline.gif"));
    const QByteArray image = carried.open(QIODevice::ReadOnly) ? carried.readAll() : QByteArray();
    // Written whole or not at all: a file that is there stays as it was when writing fails.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit()) {
        saveDialog_->tellFailure(title,
                                 tr("中線画像を書き込めませんでした。\n%1\n%2\n"
                                    "書き込めるフォルダーを選んでください。")
                                     .arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    toolkit::tell(ui->PathE, tr("中線画像を保存しました：%1").arg(QDir::toNativeSeparators(path)));
}
