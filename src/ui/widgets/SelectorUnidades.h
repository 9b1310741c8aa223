// The drive picker: the file systems the user can read (the drives on Windows), linked to a
// folder list. Choosing one opens that file system's current folder in the list: the last
// folder opened on it in this run, or its root.
#pragma once

#include <QComboBox>
#include <QHash>
#include <QPointer>

class TListaCarpetas;

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
