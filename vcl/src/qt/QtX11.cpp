#include "QtX11.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

namespace vcl::qt {
namespace {

xcb_connection_t *Connection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t *connection, const char *name)
{
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(qstrlen(name)),
                                        name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (reply == nullptr)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    return atom;
}

} // namespace

bool OnX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb") && Connection() != nullptr;
}

void WriteMotifHints(QWidget &window, const TMotifHints &hints)
{
    xcb_connection_t *connection = Connection();
    if (connection == nullptr)
        return;
    const xcb_atom_t atom = Atom(connection, "_MOTIF_WM_HINTS");
    if (atom == XCB_ATOM_NONE)
        return;
    const std::uint32_t data[5] = {hints.flags, hints.functions, hints.decorations,
                                   static_cast<std::uint32_t>(hints.inputMode), hints.status};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(window.winId()), atom, atom, 32, 5, data);
    xcb_flush(connection);
}

void WriteIconName(QWidget &window, const QString &name)
{
    xcb_connection_t *connection = Connection();
    if (connection == nullptr)
        return;
    const QByteArray latin1 = name.toLatin1();
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(window.winId()), XCB_ATOM_WM_ICON_NAME,
                        XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(latin1.size()),
                        latin1.constData());
    xcb_flush(connection);
}

} // namespace vcl::qt
