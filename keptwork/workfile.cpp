#include "keptwork/workfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace keptwork {

namespace {

// The kept work is read at start-up: a file larger than any list the program keeps is not read.
constexpr qint64 MostBytes = 512LL * 1024 * 1024;

// A name beside the file that no earlier file has: work-unreadable-20261210-141500.json.
QString asideName(const QString &path) {
    const QFileInfo file(path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base =
        file.dir().filePath(file.completeBaseName() + QStringLiteral("-unreadable-") + stamp);
    QString name = base + QStringLiteral(".json");
    for (int n = 2; QFileInfo::exists(name); ++n) {
        name = base + QStringLiteral("-%1.json").arg(n);
    }
    return name;
}

} // namespace

QString WorkFile::standardPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("work.json"));
}

WorkFile::Loaded WorkFile::load() const {
    QFile file(path_);
    if (!file.exists()) {
        return {};
    }
    std::optional<KeptWork> work;
    if (file.size() <= MostBytes && file.open(QIODevice::ReadOnly)) {
        work = fromJson(file.readAll());
        file.close();
    }
    if (work) {
        return {std::move(work), {}};
    }
    const QString aside = asideName(path_);
    return {std::nullopt, QFile::rename(path_, aside) ? aside : path_};
}

bool WorkFile::save(const KeptWork &work, QString *error) const {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    const QByteArray json = toJson(work);
    if (file.open(QIODevice::WriteOnly) && file.write(json) == json.size() && file.commit()) {
        return true;
    }
    if (error != nullptr) {
        *error = file.errorString();
    }
    return false;
}

} // namespace keptwork
