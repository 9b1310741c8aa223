#include "ui/Construccion.h"

#include "ui/Colores.h"
#include "ui/Fuentes.h"
#include "ui/Glifos.h"
#include "ui/Texto.h"
#include "ui/widgets/ListaCarpetas.h"
#include "ui/widgets/NavegadorDatos.h"
#include "ui/widgets/PanelDegradado.h"
#include "ui/widgets/RejillaDatos.h"
#include "ui/widgets/SelectorUnidades.h"

#include <QLabel>
#include <QPushButton>

namespace ui {

namespace {

QFont FuenteDe(const desktop::Fuente& d)
{
    QFont f = d.familia == desktop::Familia::Arial ? FuenteArial(d.pixeles, d.negrita) : FuenteMsSansSerif();
    if (d.familia == desktop::Familia::Formulario && d.pixeles > 0)
        f.setPixelSize(d.pixeles);
    f.setBold(d.negrita);
    f.setUnderline(d.subrayada);
    return f;
}

// The text colour of a label or button, and the background of a control that has its own.
void PonColores(QWidget* w, const desktop::Control& c)
{
    if (c.colorTexto != desktop::kSinColor) {
        QPalette p = w->palette();
        const QColor color = ColorWindows(c.colorTexto);
        p.setColor(QPalette::WindowText, color);
        p.setColor(QPalette::ButtonText, color);
        p.setColor(QPalette::Text, color);
        w->setPalette(p);
    }
    if (c.color != desktop::kSinColor && c.clase != desktop::Clase::PanelDegradado) {
        // Lists and drop-down boxes paint their own background.
        const QColor color = ColorWindows(c.color);
        QPalette p = w->palette();
        p.setColor(QPalette::Window, color);
        if (c.clase == desktop::Clase::ListaCarpetas || c.clase == desktop::Clase::SelectorUnidades)
            p.setColor(QPalette::Base, color);
        if (c.clase == desktop::Clase::SelectorUnidades)
            p.setColor(QPalette::Button, color);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
}

QWidget* Crea(const desktop::Control& c, QWidget* padre)
{
    switch (c.clase) {
    case desktop::Clase::PanelDegradado: {
        auto* panel = new TPanelDegradado(padre);
        panel->ponColores(c.color, c.colorMedio, c.colorFin);
        panel->setBiselado(c.biselado);
        return panel;
    }
    case desktop::Clase::Etiqueta: {
        auto* etiqueta = new QLabel(DeAnsi(c.texto), padre);
        etiqueta->setWordWrap(c.ajustaLineas);
        etiqueta->setAlignment(c.centrado ? (Qt::AlignHCenter | Qt::AlignTop) : (Qt::AlignLeft | Qt::AlignTop));
        return etiqueta;
    }
    case desktop::Clase::Boton: {
        auto* boton = new QPushButton(DeAnsi(c.texto), padre);
        if (c.glifo != desktop::Glifo::Ninguno)
            boton->setIcon(Icono(c.glifo));
        if (c.porDefecto) {
            boton->setDefault(true);
            boton->setAutoDefault(true);
        }
        return boton;
    }
    case desktop::Clase::ListaCarpetas: return new TListaCarpetas(padre);
    case desktop::Clase::SelectorUnidades: return new TSelectorUnidades(padre);
    case desktop::Clase::Rejilla: {
        auto* rejilla = new TRejillaDatos(padre);
        rejilla->ponDescripcion(c.rejilla);
        return rejilla;
    }
    case desktop::Clase::Navegador: return new TNavegadorDatos(padre);
    }
    return new QWidget(padre);
}

}  // namespace

ControlesQt::ControlesQt(QWidget* ventana, const desktop::Ventana& d) : ventana_(ventana)
{
    ventana->setObjectName(QString::fromStdString(d.nombre));
    ventana->setWindowTitle(DeAnsi(d.titulo));
    ventana->setFont(FuenteMsSansSerif());
    ventana->setProperty("contextoAyuda", d.contextoAyuda);
    if (d.icono != desktop::Glifo::Ninguno)
        ventana->setWindowIcon(Icono(d.icono));
    if (d.color != desktop::kSinColor) {
        QPalette p = ventana->palette();
        p.setColor(QPalette::Window, ColorWindows(d.color));
        ventana->setPalette(p);
        ventana->setAutoFillBackground(true);
    }
    ventana->setFixedSize(d.ancho, d.alto);
    if (d.x >= 0 && d.y >= 0)
        ventana->move(d.x, d.y);

    for (const desktop::Control& c : d.controles) {
        QWidget* padre = c.padre.empty() ? ventana : (*this)[c.padre];
        QWidget* w = Crea(c, padre);
        w->setObjectName(QString::fromStdString(c.nombre));
        w->setGeometry(c.lugar.x, c.lugar.y, c.lugar.ancho, c.lugar.alto);
        w->setFont(FuenteDe(c.fuente));
        PonColores(w, c);
        if (c.contextoAyuda != 0)
            w->setProperty("contextoAyuda", c.contextoAyuda);
        if (c.autoTamano)
            w->adjustSize();
        w->setVisible(c.visible);
        controles_[c.nombre] = w;
    }
    // The links between controls: the folder list's label, the drive picker's list.
    for (const desktop::Control& c : d.controles) {
        if (c.vinculo.empty())
            continue;
        if (auto* lista = Control<TListaCarpetas>(c.nombre))
            lista->ponEtiqueta(Control<QLabel>(c.vinculo));
        else if (auto* unidades = Control<TSelectorUnidades>(c.nombre))
            unidades->ponLista(Control<TListaCarpetas>(c.vinculo));
    }
}

QWidget* ControlesQt::operator[](const std::string& nombre) const
{
    const auto it = controles_.find(nombre);
    return it == controles_.end() ? nullptr : it->second;
}

std::string ControlesQt::NombreDe(const QWidget* w) const
{
    for (; w && w != ventana_; w = w->parentWidget()) {
        const std::string nombre = w->objectName().toStdString();
        if ((*this)[nombre] == w)
            return nombre;
    }
    return {};
}

void ControlesQt::Muestra(const std::string& nombre, bool visible) const
{
    if (QWidget* w = (*this)[nombre]) {
        w->setVisible(visible);
        if (visible)
            w->raise();
    }
}

void ControlesQt::Habilita(const std::string& nombre, bool habilitado) const
{
    if (QWidget* w = (*this)[nombre])
        w->setEnabled(habilitado);
}

void ControlesQt::PonLugar(const std::string& nombre, const desktop::Rectangulo& lugar) const
{
    if (QWidget* w = (*this)[nombre])
        w->setGeometry(lugar.x, lugar.y, lugar.ancho, lugar.alto);
}

}  // namespace ui
