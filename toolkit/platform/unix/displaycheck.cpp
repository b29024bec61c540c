#include "toolkit/platform/process.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMutex>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace toolkit {

namespace {

// What Qt is told to try, read from the same places Qt reads it.
struct DisplayRequest {
    QString program;        // as started, for the advice
    QString platforms;      // -platform or QT_QPA_PLATFORM as given; empty for Qt's default
    QString xDisplay;       // -display or DISPLAY; empty when unset
    QString waylandDisplay; // WAYLAND_DISPLAY; empty when unset
    bool waylandSession = false;
};

DisplayRequest requestOf(int argc, char *argv[]) {
    DisplayRequest request{argc > 0 ? QString::fromLocal8Bit(argv[0]) : QStringLiteral("pemvaro"),
                           qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
                           qEnvironmentVariable("WAYLAND_DISPLAY"),
                           qgetenv("XDG_SESSION_TYPE") == "wayland"};
    // Qt takes its own options from the command line, with one dash or two; the last one counts.
    for (int i = 1; i + 1 < argc; ++i) {
        QByteArrayView option(argv[i]);
        if (option.startsWith("--")) {
            option = option.sliced(1);
        }
        if (option == "-platform") {
            request.platforms = QString::fromLocal8Bit(argv[++i]);
        } else if (option == "-display") {
            request.xDisplay = QString::fromLocal8Bit(argv[++i]);
        }
    }
    return request;
}

// The two lines, English then Japanese.
QByteArray missingDisplayMessage(const DisplayRequest &request) {
    QStringList english, japanese;
    const auto tried = [&](const QString &inEnglish, const QString &inJapanese) {
        if (!english.contains(inEnglish)) {
            english << inEnglish;
            japanese << inJapanese;
        }
    };
    const auto triedX = [&] {
        if (request.xDisplay.isEmpty()) {
            tried(QStringLiteral("X display (DISPLAY is not set)"),
                  QStringLiteral("X ディスプレイ（DISPLAY が設定されていません）"));
        } else {
            tried(QStringLiteral("X display \"%1\"").arg(request.xDisplay),
                  QStringLiteral("X ディスプレイ \"%1\"").arg(request.xDisplay));
        }
    };
    const auto triedWayland = [&] {
        const QString name =
            request.waylandDisplay.isEmpty() ? QStringLiteral("wayland-0") : request.waylandDisplay;
        tried(QStringLiteral("Wayland display \"%1\"").arg(name),
              QStringLiteral("Wayland ディスプレイ \"%1\"").arg(name));
    };

    if (request.platforms.isEmpty()) {
        // Qt's default: Wayland first in a Wayland session, then X.
        if (!request.waylandDisplay.isEmpty() || request.waylandSession) {
            triedWayland();
        }
        triedX();
    } else {
        tried(QStringLiteral("Qt platform \"%1\"").arg(request.platforms),
              QStringLiteral("Qt プラットフォーム \"%1\"").arg(request.platforms));
        // A list such as "wayland;xcb", each name perhaps with options after a colon.
        for (const QString &platform : request.platforms.split(u';', Qt::SkipEmptyParts)) {
            const QString name = platform.section(u':', 0, 0).toLower();
            if (name == u"xcb") {
                triedX();
            } else if (name.startsWith(u"wayland")) {
                triedWayland();
            }
        }
    }

    return QStringLiteral("Pemvaro needs a graphical display and could not open one. Tried: %1. "
                          "Run it in a desktop session, or under Xvfb: xvfb-run %2\n"
                          "Pemvaro にはグラフィカルなディスプレイが必要ですが、開けませんでした。"
                          "試したもの: %3。デスクトップのセッションで起動するか、"
                          "Xvfb の中で起動してください: xvfb-run %2\n")
        .arg(english.join(u", "), request.program, japanese.join(u"、"))
        .toUtf8();
}

// A message Qt gave while starting, kept whole: the context's texts may belong to a platform
// plugin that is unloaded again.
struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;

    void passOn(QtMessageHandler handler) const {
        const auto textOrNull = [](const QByteArray &s) { return s.isNull() ? nullptr : s.data(); };
        handler(
            type,
            QMessageLogContext(textOrNull(file), line, textOrNull(function), textOrNull(category)),
            text);
    }
};

struct Watch {
    QMutex mutex; // plugins may speak from threads of their own
    bool watching = false;
    QtMessageHandler previous = nullptr;
    DisplayRequest request;
    std::vector<HeldMessage> held;
};

Watch &watch() {
    static Watch instance;
    return instance;
}

void holdOrReport(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    Watch &w = watch();
    QMutexLocker lock(&w.mutex);
    if (!w.watching) {
        lock.unlock();
        w.previous(type, context, text);
        return;
    }
    // Qt's fatal message with no platform started is its "no Qt platform plugin could be
    // initialized", after which it would abort.
    if (type == QtFatalMsg && QGuiApplication::platformName().isEmpty()) {
        const QByteArray message = missingDisplayMessage(w.request);
        std::fwrite(message.constData(), 1, static_cast<size_t>(message.size()), stderr);
        std::fflush(stderr);
        // Nothing to clean up: the application object is half made.
        std::_Exit(1);
    }
    w.held.push_back({type, QByteArray(context.file), QByteArray(context.function),
                      QByteArray(context.category), context.line, text});
    if (type == QtFatalMsg) {
        // Some other fatal fault: Qt's own words, then its abort.
        for (const HeldMessage &message : w.held) {
            message.passOn(w.previous);
        }
    }
}

// Runs at the end of the core application's construction, after the platform has started.
void passOnHeldMessages() {
    Watch &w = watch();
    std::vector<HeldMessage> held;
    {
        QMutexLocker lock(&w.mutex);
        if (!w.watching) {
            return;
        }
        w.watching = false;
        held.swap(w.held);
    }
    qInstallMessageHandler(w.previous);
    for (const HeldMessage &message : held) {
        message.passOn(w.previous);
    }
}

} // namespace

void watchForMissingDisplay(int argc, char *argv[]) {
    // Whoever asks Qt to abort on warnings is looking for where it stops: let it, with its words.
    if (qEnvironmentVariableIsSet("QT_FATAL_WARNINGS") ||
        qEnvironmentVariableIsSet("QT_FATAL_CRITICALS")) {
        return;
    }
    Watch &w = watch();
    w.request = requestOf(argc, argv);
    w.watching = true;
    w.previous = qInstallMessageHandler(holdOrReport);
    qAddPreRoutine(passOnHeldMessages);
}

} // namespace toolkit
