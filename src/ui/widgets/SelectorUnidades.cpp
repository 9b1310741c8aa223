#include "ui/widgets/SelectorUnidades.h"

#include "ui/Errores.h"
#include "ui/Glifos.h"
#include "ui/widgets/ListaCarpetas.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>

TSelectorUnidades::TSelectorUnidades(QWidget* padre) : QComboBox(padre)
{
    recarga();
    connect(this, &QComboBox::activated, this, &TSelectorUnidades::elegida);
}

void TSelectorUnidades::recarga()
{
    const QSignalBlocker bloqueo(this);
    clear();
    QList<QStorageInfo> volumenes = QStorageInfo::mountedVolumes();
    std::sort(volumenes.begin(), volumenes.end(),
              [](const QStorageInfo& a, const QStorageInfo& b) { return a.rootPath() < b.rootPath(); });
    static const QIcon icono = ui::Icono(ui::Glifo::Unidad);
    QStringList vistas;
    for (const QStorageInfo& v : volumenes) {
        const QFileInfo raiz(v.rootPath());
        if (!v.isValid() || !v.isReady() || !raiz.isReadable() || !raiz.isExecutable())
            continue;
        const QString ruta = QDir::cleanPath(v.rootPath());
        if (vistas.contains(ruta))
            continue;
        vistas << ruta;
        QString nombre = v.name();
        if (nombre.isEmpty())
            nombre = QFileInfo(QString::fromLocal8Bit(v.device())).fileName();
        const QString texto = QDir::toNativeSeparators(ruta) + (nombre.isEmpty() ? QString() : "  [" + nombre + "]");
        addItem(icono, texto, ruta);
    }
    if (lista_)
        sigueLista(lista_->carpeta());
}

void TSelectorUnidades::ponLista(TListaCarpetas* lista)
{
    lista_ = lista;
    connect(lista, &TListaCarpetas::carpetaCambiada, this, &TSelectorUnidades::sigueLista);
    sigueLista(lista->carpeta());
}

QString TSelectorUnidades::raizDe(const QString& carpeta) const
{
    QString mejor;
    for (int i = 0; i < count(); ++i) {
        const QString raiz = itemData(i).toString();
        const bool dentro = carpeta == raiz || raiz == "/" ||
                            carpeta.startsWith(raiz.endsWith('/') ? raiz : raiz + '/');
        if (dentro && raiz.size() > mejor.size())
            mejor = raiz;
    }
    return mejor;
}

void TSelectorUnidades::sigueLista(const QString& carpeta)
{
    const QString raiz = raizDe(carpeta);
    const QSignalBlocker bloqueo(this);
    setCurrentIndex(findData(raiz));
    if (!raiz.isEmpty())
        ultimaCarpeta_[raiz] = carpeta;
}

void TSelectorUnidades::elegida(int indice)
{
    if (!lista_ || indice < 0)
        return;
    const QString raiz = itemData(indice).toString();
    const QString destino = ultimaCarpeta_.value(raiz, raiz);
    const bool ok = ui::Protege(this, [&] { lista_->abre(destino); });
    if (!ok)
        sigueLista(lista_->carpeta());
}
