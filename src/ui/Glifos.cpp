#include "ui/Glifos.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ui {

namespace {

const QColor kVerde(0, 128, 0);
const QColor kAzulNav(0, 0, 128);

void Triangulo(QPainter& p, double x, double y, double ancho, double alto, bool izquierda)
{
    QPainterPath t;
    if (izquierda) {
        t.moveTo(x + ancho, y);
        t.lineTo(x, y + alto / 2);
        t.lineTo(x + ancho, y + alto);
    } else {
        t.moveTo(x, y);
        t.lineTo(x + ancho, y + alto / 2);
        t.lineTo(x, y + alto);
    }
    t.closeSubpath();
    p.fillPath(t, p.brush());
}

// Draws the glyph in a 16 by 16 grid; the painter is scaled for larger pixmaps.
void Dibuja(QPainter& p, Glifo g, bool apagado)
{
    const QColor tinta = apagado ? QColor(160, 160, 160) : QColor(0, 0, 0);
    p.setBrush(tinta);
    switch (g) {
    case Glifo::Aceptar: {
        QPen pluma(apagado ? tinta : kVerde, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pluma);
        p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.2, 12.2), QPointF(13.5, 3.5)}));
        break;
    }
    case Glifo::Salir: {
        // Door frame, the door swung open, and an arrow going out.
        p.setPen(QPen(apagado ? tinta : QColor(96, 64, 32), 1.2));
        p.setBrush(apagado ? QColor(220, 220, 220) : QColor(255, 255, 210));
        p.drawRect(QRectF(6.5, 1.5, 8, 13));
        p.setBrush(apagado ? QColor(180, 180, 180) : QColor(170, 110, 50));
        QPolygonF puerta({QPointF(6.5, 1.5), QPointF(10.5, 3.0), QPointF(10.5, 16.0), QPointF(6.5, 14.5)});
        p.drawPolygon(puerta);
        p.setPen(QPen(apagado ? tinta : kVerde, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(1.0, 8.0), QPointF(5.5, 8.0));
        p.drawPolyline(QPolygonF({QPointF(3.0, 5.8), QPointF(0.8, 8.0), QPointF(3.0, 10.2)}));
        break;
    }
    case Glifo::Continuar: {
        p.setPen(Qt::NoPen);
        p.setBrush(apagado ? tinta : QColor(0, 96, 192));
        QPainterPath flecha;
        flecha.moveTo(2, 6);
        flecha.lineTo(8, 6);
        flecha.lineTo(8, 2.5);
        flecha.lineTo(14, 8);
        flecha.lineTo(8, 13.5);
        flecha.lineTo(8, 10);
        flecha.lineTo(2, 10);
        flecha.closeSubpath();
        p.drawPath(flecha);
        break;
    }
    case Glifo::Primero:
        p.setPen(Qt::NoPen);
        p.fillRect(QRectF(4, 4, 1.6, 8), tinta);
        Triangulo(p, 6, 4, 5, 8, true);
        break;
    case Glifo::Anterior10:
        p.setPen(Qt::NoPen);
        Triangulo(p, 2.5, 4, 5, 8, true);
        Triangulo(p, 7.5, 4, 5, 8, true);
        break;
    case Glifo::Anterior:
        p.setPen(Qt::NoPen);
        Triangulo(p, 5.5, 4, 5, 8, true);
        break;
    case Glifo::Siguiente:
        p.setPen(Qt::NoPen);
        Triangulo(p, 5.5, 4, 5, 8, false);
        break;
    case Glifo::Siguiente10:
        p.setPen(Qt::NoPen);
        Triangulo(p, 3.5, 4, 5, 8, false);
        Triangulo(p, 8.5, 4, 5, 8, false);
        break;
    case Glifo::Ultimo:
        p.setPen(Qt::NoPen);
        Triangulo(p, 5, 4, 5, 8, false);
        p.fillRect(QRectF(10.4, 4, 1.6, 8), tinta);
        break;
    case Glifo::Editar: {
        p.setPen(Qt::NoPen);
        QPainterPath t;
        t.moveTo(3.5, 11);
        t.lineTo(8, 5);
        t.lineTo(12.5, 11);
        t.closeSubpath();
        p.fillPath(t, tinta);
        break;
    }
    case Glifo::Confirmar: {
        p.setPen(QPen(apagado ? tinta : kVerde, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(3.5, 8.5), QPointF(6.5, 11.5), QPointF(12.5, 4.5)}));
        break;
    }
    case Glifo::Cancelar: {
        p.setPen(QPen(apagado ? tinta : QColor(192, 0, 0), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
        p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
        break;
    }
    case Glifo::Refrescar: {
        const QColor c = apagado ? tinta : kAzulNav;
        p.setPen(QPen(c, 1.6, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3.5, 3.5, 9, 9), 60 * 16, 270 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        QPainterPath punta;
        punta.moveTo(9.2, 1.6);
        punta.lineTo(13.2, 4.4);
        punta.lineTo(8.8, 6.6);
        punta.closeSubpath();
        p.drawPath(punta);
        break;
    }
    case Glifo::Ayuda: {
        p.setPen(Qt::NoPen);
        p.setBrush(apagado ? tinta : QColor(0, 80, 170));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(Qt::white);
        QFont f;
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case Glifo::CarpetaCerrada:
    case Glifo::CarpetaAbierta: {
        const bool abierta = g == Glifo::CarpetaAbierta;
        p.setPen(QPen(QColor(160, 120, 20), 0.9));
        p.setBrush(QColor(236, 196, 80));
        QPainterPath fondo;
        fondo.moveTo(1.5, 3.5);
        fondo.lineTo(6, 3.5);
        fondo.lineTo(7.5, 5);
        fondo.lineTo(14.5, 5);
        fondo.lineTo(14.5, 13.5);
        fondo.lineTo(1.5, 13.5);
        fondo.closeSubpath();
        p.drawPath(fondo);
        p.setBrush(QColor(255, 226, 120));
        if (abierta) {
            p.drawPolygon(QPolygonF({QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
        } else {
            p.drawRect(QRectF(1.5, 6.5, 13, 7));
        }
        break;
    }
    case Glifo::Ninguno:
        break;
    // The drive picker of this program shows every drive as a disk.
    case Glifo::UnidadExtraible:
    case Glifo::UnidadCD:
    case Glifo::UnidadRed:
    case Glifo::Unidad: {
        p.setPen(QPen(QColor(90, 90, 90), 0.9));
        p.setBrush(QColor(214, 214, 214));
        p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.5, 1.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 170, 0));
        p.drawRect(QRectF(11, 8, 2, 1.5));
        break;
    }
    }
}

QPixmap Mapa(Glifo g, int lado, bool apagado)
{
    QPixmap m(lado, lado);
    m.fill(Qt::transparent);
    QPainter p(&m);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(lado / 16.0, lado / 16.0);
    Dibuja(p, g, apagado);
    return m;
}

}  // namespace

QIcon Icono(Glifo glifo)
{
    QIcon icono;
    for (int lado : {16, 32}) {
        icono.addPixmap(Mapa(glifo, lado, false), QIcon::Normal);
        icono.addPixmap(Mapa(glifo, lado, true), QIcon::Disabled);
    }
    return icono;
}

}  // namespace ui
