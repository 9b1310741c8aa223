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

QList<TUnidad> UnidadesOfrecidas(const QList<TVolumen>& montados, const QString& carpetaPersonal)
{
    QList<TUnidad> r{{"/", "/"}};
    const QString personal = QDir::cleanPath(carpetaPersonal);
    if (!personal.isEmpty() && personal != "/")
        r.push_back({personal, personal + QStringLiteral("  [Carpeta personal]")});
    QList<TUnidad> extraibles;
    for (const TVolumen& v : montados) {
        const QString raiz = QDir::cleanPath(v.raiz);
        const bool extraible = raiz.startsWith("/media/") || raiz.startsWith("/mnt/") || raiz.startsWith("/run/media/");
        if (!extraible || std::any_of(extraibles.begin(), extraibles.end(), [&](const TUnidad& u) { return u.raiz == raiz; }))
            continue;
        const QString nombre = v.etiqueta.isEmpty() ? QFileInfo(raiz).fileName() : v.etiqueta;
        extraibles.push_back({raiz, raiz + "  [" + nombre + "]"});
    }
    std::sort(extraibles.begin(), extraibles.end(), [](const TUnidad& a, const TUnidad& b) { return a.raiz < b.raiz; });
    return r + extraibles;
}

void TSelectorUnidades::recarga()
{
    const QSignalBlocker bloqueo(this);
    clear();
    QList<TVolumen> montados;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        const QFileInfo raiz(v.rootPath());
        if (v.isValid() && v.isReady() && raiz.isReadable() && raiz.isExecutable())
            montados.push_back({v.rootPath(), v.name()});
    }
    static const QIcon icono = ui::Icono(ui::Glifo::Unidad);
    for (const TUnidad& u : UnidadesOfrecidas(montados, QDir::homePath()))
        addItem(icono, u.texto, u.raiz);
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
