#pragma once

#include "keptwork/keptwork.h"

#include <QString>

#include <optional>

namespace keptwork {

// The file the work is kept in between runs, written whole or not at all.
class WorkFile {
public:
    explicit WorkFile(QString path)
        : path_(std::move(path)) {}

    // The platform's place for a program's own data: the XDG data folder on Linux, the user's
    // AppData on Windows.
    static QString standardPath();

    struct Loaded {
        // Nothing where no work was kept or it could not be read.
        std::optional<KeptWork> work;
        // Where a file that could not be read was moved, so that a later save does not replace
        // it; empty when there was none.
        QString setAside;
    };
    Loaded load() const;
    // False, with the reason in `error`, when the file could not be written; the one there stays
    // as it was.
    bool save(const KeptWork &work, QString *error = nullptr) const;

    const QString &path() const { return path_; }

private:
    QString path_;
};

} // namespace keptwork
