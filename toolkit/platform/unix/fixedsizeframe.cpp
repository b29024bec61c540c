#include "toolkit/platform/fixedsizeframe.h"

#include <QGuiApplication>
#include <QWidget>

#include <array>
#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace toolkit {

namespace {

// The Motif window manager hints: flags, functions, decorations, input mode, status.
enum : uint32_t { FunctionsGiven = 1, DecorationsGiven = 2 };
enum : uint32_t { Move = 4, Minimize = 8, Close = 32 };
enum : uint32_t { Border = 2, Title = 8, Menu = 16, MinimizeButton = 32 };

void offerNoResizing(WId window) {
    // Other platforms, the off-screen one included, may answer for X11 without showing windows
    // there.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != u"xcb" || x11 == nullptr ||
        x11->connection() == nullptr) {
        return;
    }
    xcb_connection_t *connection = x11->connection();
    constexpr const char *Name = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(Name)), Name),
        nullptr);
    if (atom == nullptr) {
        return;
    }
    const std::array<uint32_t, 5> hints{FunctionsGiven | DecorationsGiven, Move | Minimize | Close,
                                        Border | Title | Menu | MinimizeButton, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window),
                        atom->atom, atom->atom, 32, hints.size(), hints.data());
    std::free(atom);
}

} // namespace

FixedSizeFrame::FixedSizeFrame(QWidget *window) {
    window->installEventFilter(this);
}

bool FixedSizeFrame::eventFilter(QObject *watched, QEvent *event) {
    // Qt writes its hints when it makes the native window, before it tells of the new id.
    if (event->type() == QEvent::WinIdChange) {
        offerNoResizing(static_cast<QWidget *>(watched)->winId());
    }
    return false;
}

} // namespace toolkit
