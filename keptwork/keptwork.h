#pragma once

#include "fractions/entry.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace keptwork {

// What of the user's work the program keeps between runs: the list, the image path, the page the
// user writes for, the sample's font and visibility, and the pane's form, with its text where it
// was edited by hand (a pane that follows the list is made again from it).
struct KeptWork {
    // The font as text, so that this needs no display: QFont::toString(), the colour's name
    // (empty while the font takes the window-text colour) and the writing system's number.
    struct Font {
        QString face;
        QString color;
        int script = 0;
        friend bool operator==(const Font &, const Font &) = default;
    };

    std::vector<fractions::Entry> entries;
    QString path = QStringLiteral("./fracline.gif");
    // Whether Make writes the table for pages without a doctype; nothing until the user was told
    // of the choice (files written before it was kept leave it out).
    std::optional<bool> oldPage;
    std::optional<Font> font;
    bool sampleVisible = true;
    // The name of the pane's form; empty while the pane holds no form's markup.
    QString paneForm;
    std::optional<QString> paneTextEdited;

    friend bool operator==(const KeptWork &, const KeptWork &) = default;
};

QByteArray toJson(const KeptWork &work);
// Nothing for a file that is not the program's, is damaged, or comes from a newer version.
std::optional<KeptWork> fromJson(const QByteArray &json);

} // namespace keptwork
