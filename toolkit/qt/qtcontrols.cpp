#include "toolkit/qt/qtcontrols.h"

#include "toolkit/text.h"
#include "toolkit/widgets/fontchooserdialog.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMessageBox>
#include <QMimeData>
#include <QStringDecoder>

#include <optional>

namespace toolkit {

void QtEditBox::setText(const QString &text) {
    if (!edit_->isModified()) {
        edit_->setText(text);
        return;
    }
    // A box the user typed into keeps its undo: the same text is left alone, and another one
    // replaces it as one step of the box's own undo, so that Ctrl+Z there gives the typed text
    // back.
    if (edit_->text() == text) {
        return;
    }
    edit_->selectAll();
    edit_->insert(text);
}

void QtEditBox::focus() {
    if (edit_->hasFocus()) {
        return;
    }
    // Selected here rather than on the focus event, which waits while the window is inactive.
    edit_->selectAll();
    edit_->setFocus(Qt::OtherFocusReason);
}

void QtMultiLineEdit::copySelection() {
    const QString selected = edit_->selectedText();
    // Like an edit control's copy command: with nothing selected the clipboard keeps its content.
    if (selected.isEmpty()) {
        return;
    }
    QGuiApplication::clipboard()->setText(withCrLf(selected));
}

void QtGroupBox::setCaption(const QString &caption) {
    // Screen readers hear of every new description: only a new caption is told.
    if (box_->title() == caption) {
        return;
    }
    box_->setTitle(caption);
    // Read before the control's tooltip, which a description of its own would otherwise replace.
    mainControl_->setAccessibleDescription(caption + u'\n' + mainControl_->toolTip());
}

QString QtSaveDialog::choosePath(const QString &title, const QString &suggestedName,
                                 const QString &filter) {
    QFileDialog dialog(parent_, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(QFileInfo(suggestedName).suffix());
    dialog.selectFile(suggestedName);
    // Qt's dialog and the desktops' ask before a file that is there is replaced.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

void QtSaveDialog::tellFailure(const QString &title, const QString &message) {
    QMessageBox::warning(parent_, title, message);
}

void QtClipboard::setPicture(const QByteArray &png, const QString &html, const QString &text) {
    auto *data = new QMimeData;
    data->setData(QStringLiteral("image/png"), png);
    data->setHtml(html);
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
}

void QtClipboard::setHtmlAndText(const QString &html, const QString &text) {
    auto *data = new QMimeData;
    data->setHtml(html);
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
}

// Each flavour is fetched once, as bytes, so that its size is known before it is decoded; they
// are decoded as QMimeData decodes them.
std::optional<Clipboard::Texts> QtClipboard::texts(qsizetype mostBytes) const {
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr) {
        return Texts{};
    }
    const QByteArray html = data->data(QStringLiteral("text/html"));
    if (html.size() > mostBytes) {
        return std::nullopt;
    }
    const QByteArray text = data->data(QStringLiteral("text/plain"));
    if (text.size() > mostBytes) {
        return std::nullopt;
    }
    const auto encoding = QStringConverter::encodingForHtml(html);
    // A text that starts with a byte order mark keeps it, as typed text keeps it.
    return Texts{QStringDecoder(encoding.value_or(QStringConverter::Utf8)).decode(html),
                 QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom)
                     .decode(text)};
}

namespace {

// The picture with a palette where it has few colours, as a row of fractions has: white, the bars'
// black and the shades of the texts' colour. A third of the bytes, and none of the filtering that
// libpng tries row by row on colour pictures: it is written several times faster.
std::optional<QImage> withPalette(const QImage &picture) {
    if (picture.format() != QImage::Format_RGB32 || picture.isNull()) {
        return std::nullopt;
    }
    QImage indexed(picture.size(), QImage::Format_Indexed8);
    QList<QRgb> colors;
    QHash<QRgb, uchar> indices;
    const int width = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        uchar *out = indexed.scanLine(y);
        // Runs of one colour are looked up once.
        QRgb last = ~in[0];
        uchar lastIndex = 0;
        for (int x = 0; x < width; ++x) {
            if (in[x] != last) {
                auto found = indices.constFind(in[x]);
                if (found == indices.cend()) {
                    if (colors.size() == 256) {
                        return std::nullopt;
                    }
                    found = indices.insert(in[x], static_cast<uchar>(colors.size()));
                    colors.append(in[x]);
                }
                last = in[x];
                lastIndex = *found;
            }
            out[x] = lastIndex;
        }
    }
    indexed.setColorTable(colors);
    return indexed;
}

} // namespace

QByteArray pngOf(const QImage &picture) {
    constexpr qreal InchesPerMeter = 1 / 0.0254;
    QImage dense = withPalette(picture).value_or(picture);
    const int dotsPerMeter = qRound(96 * picture.devicePixelRatio() * InchesPerMeter);
    dense.setDotsPerMeterX(dotsPerMeter);
    dense.setDotsPerMeterY(dotsPerMeter);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // zlib's fastest level (Qt's scale runs from 0 to 100): mostly white, the picture still
    // shrinks to a few percent.
    writer.setCompression(11);
    writer.write(dense);
    return png;
}

namespace {

Font confirmed(const Font &current, const FontChoice &choice) {
    Font font = current;
    font.face.setFamily(choice.family);
    font.face.setPixelSize(choice.pixelSize);
    font.face.setWeight(choice.bold ? QFont::Bold : QFont::Normal);
    font.face.setItalic(choice.italic);
    font.face.setUnderline(choice.underline);
    font.face.setStrikeOut(choice.strikeOut);
    // An untouched colour list or script list may show a stand-in for the current value, so
    // only a selection the user changed replaces it.
    if (choice.colorChanged) {
        font.color = choice.color;
    }
    if (choice.faceOrScriptChanged) {
        font.script = choice.script;
    }
    return font;
}

} // namespace

QtFontChooser::QtFontChooser(const Font &initial, QWidget *parent)
    : current_(initial)
    , windowText_(initial.color)
    , parent_(parent) {}

QtFontChooser::~QtFontChooser() = default;

bool QtFontChooser::execute() {
    if (!dialog_) {
        dialog_ = std::make_unique<FontChooserDialog>(windowText_, parent_);
    }
    dialog_->showFont(current_);
    if (dialog_->exec() != QDialog::Accepted) {
        return false;
    }
    const FontChoice choice = dialog_->choice();
    // Picking the window-text colour, the one the ink follows, keeps it following.
    if (choice.colorChanged) {
        inWindowText_ = choice.color == windowText_;
    }
    current_ = confirmed(current_, choice);
    return true;
}

void QtFontChooser::restore(const Font &font, bool inWindowText) {
    current_ = font;
    inWindowText_ = inWindowText;
    if (inWindowText_) {
        current_.color = windowText_;
    }
}

bool QtFontChooser::followWindowText(const QColor &windowText) {
    if (windowText == windowText_) {
        return false;
    }
    windowText_ = windowText;
    // The dialog's colour list names the old colour: it is made again when next needed. Qt may be
    // handing its windows the new palette just now, this one among them.
    if (dialog_ && !dialog_->isVisible()) {
        dialog_.release()->deleteLater();
    }
    if (!inWindowText_) {
        return false;
    }
    current_.color = windowText;
    return true;
}

} // namespace toolkit
