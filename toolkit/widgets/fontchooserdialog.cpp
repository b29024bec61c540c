#include "toolkit/widgets/fontchooserdialog.h"

#include "toolkit/accessibility/announcer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace toolkit {

namespace {

// The usual point sizes of a font chooser as pixels at 96 per inch; 19 is 14 points.
constexpr int PixelSizes[] = {11, 12, 13, 15, 16, 19, 21, 24, 27, 29, 32, 35, 37, 48, 64, 96};

enum Style { Regular, Italic, Bold, BoldItalic };

struct NamedColor {
    const char16_t *name;
    QRgb rgb;
};

constexpr NamedColor ClassicColors[] = {
    {u"黒", 0x000000},   {u"栗色", 0x800000}, {u"緑", 0x008000},   {u"オリーブ", 0x808000},
    {u"紺", 0x000080},   {u"紫", 0x800080},   {u"青緑", 0x008080}, {u"灰色", 0x808080},
    {u"銀色", 0xC0C0C0}, {u"赤", 0xFF0000},   {u"黄緑", 0x00FF00}, {u"黄", 0xFFFF00},
    {u"青", 0x0000FF},   {u"赤紫", 0xFF00FF}, {u"水色", 0x00FFFF}, {u"白", 0xFFFFFF},
};

constexpr auto WindowTextColorName = u"ウィンドウの文字色";
constexpr auto OtherColorName = u"カスタム";

QString scriptName(QFontDatabase::WritingSystem script) {
    static const std::pair<QFontDatabase::WritingSystem, const char16_t *> names[] = {
        {QFontDatabase::Any, u"すべて"},
        {QFontDatabase::Latin, u"欧文"},
        {QFontDatabase::Greek, u"ギリシャ語"},
        {QFontDatabase::Cyrillic, u"キリル"},
        {QFontDatabase::Armenian, u"アルメニア語"},
        {QFontDatabase::Hebrew, u"ヘブライ語"},
        {QFontDatabase::Arabic, u"アラビア語"},
        {QFontDatabase::Thai, u"タイ語"},
        {QFontDatabase::Vietnamese, u"ベトナム語"},
        {QFontDatabase::SimplifiedChinese, u"簡体中国語"},
        {QFontDatabase::TraditionalChinese, u"繁体中国語"},
        {QFontDatabase::Japanese, u"日本語"},
        {QFontDatabase::Korean, u"韓国語"},
        {QFontDatabase::Symbol, u"記号"},
    };
    for (const auto &[known, name] : names) {
        if (known == script) {
            return QString::fromUtf16(name);
        }
    }
    return QFontDatabase::writingSystemName(script);
}

QString sampleText(QFontDatabase::WritingSystem script) {
    switch (script) {
    case QFontDatabase::Japanese:
        return QStringLiteral("Aaあぁアァ亜宇");
    case QFontDatabase::Any:
    case QFontDatabase::Latin:
        return QStringLiteral("AaBbYyZz");
    default:
        return QFontDatabase::writingSystemSample(script);
    }
}

// The family whose scripts a face offers; a face known only by a substitute name has those of
// the family that stands in for it.
QString installedFamily(const QString &family) {
    if (QFontDatabase::families().contains(family)) {
        return family;
    }
    return QFontInfo(QFont(family)).family();
}

QIcon swatch(const QColor &color) {
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

QLabel *captionFor(const char16_t *caption, QWidget *buddy) {
    auto *label = new QLabel(QString::fromUtf16(caption));
    label->setBuddy(buddy);
    return label;
}

} // namespace

FontChooserDialog::FontChooserDialog(const QColor &windowText, QWidget *parent)
    : QDialog(parent)
    , faceList_(new QListWidget)
    , styleList_(new QListWidget)
    , sizeBox_(new QComboBox)
    , strikeOutBox_(new QCheckBox(QStringLiteral("取り消し線")))
    , underlineBox_(new QCheckBox(QStringLiteral("下線")))
    , colorBox_(new QComboBox)
    , scriptBox_(new QComboBox)
    , sample_(new QLabel) {
    setWindowTitle(QStringLiteral("フォント"));
    faceList_->setObjectName(QStringLiteral("faceList"));
    styleList_->setObjectName(QStringLiteral("styleList"));
    sizeBox_->setObjectName(QStringLiteral("sizeBox"));
    strikeOutBox_->setObjectName(QStringLiteral("strikeOutBox"));
    underlineBox_->setObjectName(QStringLiteral("underlineBox"));
    colorBox_->setObjectName(QStringLiteral("colorBox"));
    scriptBox_->setObjectName(QStringLiteral("scriptBox"));
    sample_->setObjectName(QStringLiteral("sampleText"));
    // The captions above the lists are no labels that screen readers take for their names.
    faceList_->setAccessibleName(QStringLiteral("フォント名"));
    styleList_->setAccessibleName(QStringLiteral("スタイル"));
    readCurrentItemOnFocus(faceList_);
    readCurrentItemOnFocus(styleList_);

    for (const QString &family : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(family)) {
            faceList_->addItem(family);
        }
    }
    styleList_->addItems({QStringLiteral("標準"), QStringLiteral("斜体"), QStringLiteral("太字"),
                          QStringLiteral("太字 斜体")});
    sizeBox_->setEditable(true);
    sizeBox_->setValidator(new QIntValidator(1, 999, sizeBox_));
    for (const int size : PixelSizes) {
        sizeBox_->addItem(QString::number(size));
    }
    for (const auto &[name, rgb] : ClassicColors) {
        colorBox_->addItem(swatch(QColor(rgb)), QString::fromUtf16(name), QColor(rgb));
    }
    if (colorBox_->findData(windowText) < 0) {
        colorBox_->addItem(swatch(windowText), QString::fromUtf16(WindowTextColorName), windowText);
    }

    auto *effects = new QGroupBox(QStringLiteral("文字飾り"));
    auto *effectsLayout = new QVBoxLayout(effects);
    effectsLayout->addWidget(strikeOutBox_);
    effectsLayout->addWidget(underlineBox_);
    effectsLayout->addWidget(captionFor(u"色:", colorBox_));
    effectsLayout->addWidget(colorBox_);

    auto *sampleBox = new QGroupBox(QStringLiteral("サンプル"));
    auto *sampleLayout = new QVBoxLayout(sampleBox);
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setFixedSize(220, 72);
    sample_->setAutoFillBackground(true);
    sampleLayout->addWidget(sample_);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(captionFor(u"フォント名:", faceList_), 0, 0);
    grid->addWidget(captionFor(u"スタイル:", styleList_), 0, 1);
    grid->addWidget(captionFor(u"サイズ (ピクセル):", sizeBox_), 0, 2);
    grid->addWidget(faceList_, 1, 0);
    grid->addWidget(styleList_, 1, 1);
    grid->addWidget(sizeBox_, 1, 2, Qt::AlignTop);
    grid->addWidget(effects, 2, 0);
    grid->addWidget(sampleBox, 2, 1, 1, 2);
    grid->addWidget(captionFor(u"文字セット:", scriptBox_), 3, 1);
    grid->addWidget(scriptBox_, 3, 2);
    grid->addWidget(buttons, 4, 0, 1, 3);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(faceList_, &QListWidget::currentRowChanged, this, [this] {
        // The script stays as it was when the new face offers it.
        fillScripts(choice().script);
        showSample();
    });
    connect(styleList_, &QListWidget::currentRowChanged, this, &FontChooserDialog::showSample);
    connect(sizeBox_, &QComboBox::currentTextChanged, this, &FontChooserDialog::showSample);
    connect(strikeOutBox_, &QCheckBox::toggled, this, &FontChooserDialog::showSample);
    connect(underlineBox_, &QCheckBox::toggled, this, &FontChooserDialog::showSample);
    connect(colorBox_, &QComboBox::currentIndexChanged, this, &FontChooserDialog::showSample);
    connect(scriptBox_, &QComboBox::currentIndexChanged, this, &FontChooserDialog::showSample);
}

void FontChooserDialog::showFont(const Font &font) {
    const QSignalBlocker blockFaces(faceList_);
    openingFamily_ = font.face.family();
    QList<QListWidgetItem *> found = faceList_->findItems(openingFamily_, Qt::MatchExactly);
    if (found.isEmpty()) {
        // A face known by a name this platform maps to another one is still offered as such.
        faceList_->addItem(openingFamily_);
        faceList_->sortItems();
        found = faceList_->findItems(openingFamily_, Qt::MatchExactly);
    }
    faceList_->setCurrentItem(found.first());

    const bool bold = font.face.weight() > QFont::Normal;
    styleList_->setCurrentRow(bold ? (font.face.italic() ? BoldItalic : Bold)
                                   : (font.face.italic() ? Italic : Regular));
    openingPixelSize_ =
        font.face.pixelSize() > 0 ? font.face.pixelSize() : pixelsOfPoints(font.face.pointSizeF());
    sizeBox_->setCurrentText(QString::number(openingPixelSize_));
    underlineBox_->setChecked(font.face.underline());
    strikeOutBox_->setChecked(font.face.strikeOut());
    openingColor_ = colorIndex(font.color);
    colorBox_->setCurrentIndex(openingColor_);

    fillScripts(font.script);
    openingScript_ = choice().script;
    showSample();
}

FontChoice FontChooserDialog::choice() const {
    FontChoice choice;
    const QListWidgetItem *face = faceList_->currentItem();
    choice.family = face != nullptr ? face->text() : openingFamily_;
    choice.pixelSize = chosenPixelSize();
    const int style = styleList_->currentRow();
    choice.bold = style == Bold || style == BoldItalic;
    choice.italic = style == Italic || style == BoldItalic;
    choice.underline = underlineBox_->isChecked();
    choice.strikeOut = strikeOutBox_->isChecked();
    choice.color = colorBox_->currentData().value<QColor>();
    choice.colorChanged = colorBox_->currentIndex() != openingColor_;
    choice.script =
        scriptBox_->count() > 0
            ? static_cast<QFontDatabase::WritingSystem>(scriptBox_->currentData().toInt())
            : QFontDatabase::Any;
    choice.faceOrScriptChanged = choice.family != openingFamily_ || choice.script != openingScript_;
    return choice;
}

void FontChooserDialog::fillScripts(QFontDatabase::WritingSystem preferred) {
    const QSignalBlocker block(scriptBox_);
    scriptBox_->clear();
    const QListWidgetItem *face = faceList_->currentItem();
    if (face == nullptr) {
        return;
    }
    for (const QFontDatabase::WritingSystem script :
         QFontDatabase::writingSystems(installedFamily(face->text()))) {
        scriptBox_->addItem(scriptName(script), script);
    }
    scriptBox_->setCurrentIndex(std::max(0, scriptBox_->findData(preferred)));
}

int FontChooserDialog::colorIndex(const QColor &color) {
    const int index = colorBox_->findData(color);
    if (index >= 0) {
        return index;
    }
    // A colour from outside the list gets an entry of its own, so that it is kept as it is.
    const QString other = QString::fromUtf16(OtherColorName);
    if (colorBox_->itemText(colorBox_->count() - 1) != other) {
        colorBox_->addItem(other);
    }
    const int last = colorBox_->count() - 1;
    colorBox_->setItemData(last, color);
    colorBox_->setItemIcon(last, swatch(color));
    return last;
}

int FontChooserDialog::chosenPixelSize() const {
    bool ok = false;
    const int size = sizeBox_->currentText().toInt(&ok);
    return ok && size > 0 ? size : openingPixelSize_;
}

void FontChooserDialog::showSample() {
    const FontChoice chosen = choice();
    QFont font(chosen.family);
    font.setPixelSize(chosen.pixelSize);
    font.setWeight(chosen.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(chosen.italic);
    font.setUnderline(chosen.underline);
    font.setStrikeOut(chosen.strikeOut);
    sample_->setFont(font);
    QPalette palette = sample_->palette();
    palette.setColor(QPalette::WindowText, chosen.color);
    sample_->setPalette(palette);
    sample_->setText(sampleText(chosen.script));
}

} // namespace toolkit
