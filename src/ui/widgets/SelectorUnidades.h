// The drive picker: the places the user would choose from (the drives on Windows), linked to a
// folder list. Choosing one opens that file system's current folder in the list: the last
// folder opened on it in this run, or its root.
#pragma once

#include <QComboBox>
#include <QHash>
#include <QPointer>

class TListaCarpetas;

// A mounted file system as the system lists it.
struct TVolumen {
    QString raiz;      // where it is mounted
    QString etiqueta;  // its label; may be empty
};

// A choice of the picker: the folder it opens and the text it shows.
struct TUnidad {
    QString raiz;
    QString texto;
};

// What a person chooses from among the mounted file systems: the root, the home folder, and
// the removable or network mounts under /media, /mnt and /run/media, each shown with its label
// or else its folder name. The system's own mounts (/proc, /boot, /run/...) are left out.
QList<TUnidad> UnidadesOfrecidas(const QList<TVolumen>& montados, const QString& carpetaPersonal);

class TSelectorUnidades : public QComboBox {
    Q_OBJECT

public:
    explicit TSelectorUnidades(QWidget* padre = nullptr);

    void ponLista(TListaCarpetas* lista);
    // Rereads the mounted file systems.
    void recarga();
    // The root of the file system that holds a folder: the longest listed root above it.
    QString raizDe(const QString& carpeta) const;

private:
    void elegida(int indice);
    void sigueLista(const QString& carpeta);

    QPointer<TListaCarpetas> lista_;
    QHash<QString, QString> ultimaCarpeta_;
};
