// The folder list: the current folder's ancestors from the root down, the current folder
// open, and its subfolders below it. Double-click or Enter opens a folder, which becomes the
// process's current directory. A linked label shows the current folder, shortened to the
// list's width with an ellipsis.
#pragma once

#include <QListWidget>
#include <QPointer>

class QLabel;

class TListaCarpetas : public QListWidget {
    Q_OBJECT

public:
    explicit TListaCarpetas(QWidget* padre = nullptr);

    // The open folder, absolute, without a trailing separator (but "/" for the root).
    QString carpeta() const { return carpeta_; }

    // Opens a folder: it becomes the current directory and the list shows it. A folder that
    // cannot be entered raises the file error for a refused access, and nothing changes.
    void abre(const QString& ruta);

    // Shows the current directory of the process as it is now.
    void muestraDirectorioActual();

    void ponEtiqueta(QLabel* etiqueta);

    // The path shortened as Windows' file dialogs shorten it: the root, "..." and as many
    // trailing folders as fit in `ancho` pixels of `metricas`.
    static QString AbreviaRuta(const QString& ruta, const QFontMetrics& metricas, int ancho);

    enum Rol { RolRuta = Qt::UserRole, RolNivel, RolAbierta };

signals:
    void carpetaCambiada(const QString& carpeta);

protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

private:
    void abreElemento(QListWidgetItem* elemento);
    void reconstruye();
    void actualizaEtiqueta();

    QString carpeta_;
    QPointer<QLabel> etiqueta_;
};
