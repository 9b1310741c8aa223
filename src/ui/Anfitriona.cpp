#include "ui/Anfitriona.h"

#include <QGuiApplication>

#ifdef TRANSORBELIN_XCB
#include <xcb/xcb.h>
#endif

namespace ui {

bool VentanaAnfitrionaExiste(quint32 handle)
{
#ifdef TRANSORBELIN_XCB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return true;
    xcb_connection_t* conexion = x11->connection();
    xcb_generic_error_t* error = nullptr;
    xcb_get_window_attributes_reply_t* respuesta =
        xcb_get_window_attributes_reply(conexion, xcb_get_window_attributes(conexion, handle), &error);
    const bool existe = respuesta != nullptr;
    free(respuesta);
    const bool ventanaMala = error && error->error_code == 3;  // BadWindow
    free(error);
    return existe || !ventanaMala;
#else
    (void)handle;
    return true;
#endif
}

}  // namespace ui
