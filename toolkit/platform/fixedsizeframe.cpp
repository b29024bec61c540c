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

constexpr const char *HintsName = "_MOTIF_WM_HINTS";

// Other platforms, the off-screen one included, may answer for X11 without showing windows there.
xcb_connection_t *x11Connection() {
    auto *x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    if (QGuiApplication::platformName() != u"xcb" || x11 == nullptr) {
        return nullptr;
    }
    return x11->connection();
}

} // namespace

FixedSizeFrame::FixedSizeFrame(QWidget *window) {
    if (xcb_connection_t *connection = x11Connection()) {
        atomRequest_ =
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(HintsName)), HintsName)
                .sequence;
        // Sent now, answered while the window is still being built.
        xcb_flush(connection);
    }
    window->installEventFilter(this);
}

FixedSizeFrame::~FixedSizeFrame() {
    if (xcb_connection_t *connection = x11Connection();
        connection != nullptr && atomRequest_ != 0) {
        xcb_discard_reply(connection, atomRequest_);
    }
}

bool FixedSizeFrame::eventFilter(QObject *watched, QEvent *event) {
    // Qt writes its hints when it makes the native window, before it tells of the new id.
    if (event->type() != QEvent::WinIdChange) {
        return false;
    }
    xcb_connection_t *connection = x11Connection();
    if (connection == nullptr) {
        return false;
    }
    if (atomRequest_ != 0) {
        xcb_intern_atom_reply_t *reply =
            xcb_intern_atom_reply(connection, xcb_intern_atom_cookie_t{atomRequest_}, nullptr);
        atomRequest_ = 0;
        if (reply != nullptr) {
            atom_ = reply->atom;
            std::free(reply);
        }
    }
    if (atom_ == 0) {
        return false;
    }
    const std::array<uint32_t, 5> hints{FunctionsGiven | DecorationsGiven, Move | Minimize | Close,
                                        Border | Title | Menu | MinimizeButton, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(static_cast<QWidget *>(watched)->winId()), atom_,
                        atom_, 32, hints.size(), hints.data());
    return false;
}

} // namespace toolkit
