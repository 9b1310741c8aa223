// Test support for the windows: dialogs answered by the test, a drive C with its ZTEMP and a
// copy of the sample centre, and small readers of our tables.
#pragma once

#include "files/folders.h"
#include "store/paths.h"
#include "store/table.h"
#include "ui/Dialogos.h"
#include "ui/Texto.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace prueba {

// The dialogs, answered by the test. Every call is recorded with the cursor shown at the time.
class DialogosPrueba : public ui::Dialogos {
public:
    QStringList mensajes;
    QStringList errores;
    QStringList preguntas;
    std::vector<Qt::CursorShape> cursores;  // the override cursor at each message (ArrowCursor when none)
    std::deque<bool> respuestas;            // answers to Confirma; "Aceptar" when empty
    std::function<int(QDialog&)> alModal;   // what the user does in a modal window
    int modales = 0;

    DialogosPrueba() { Instala(this); }
    ~DialogosPrueba() override { Instala(nullptr); }

    void Mensaje(QWidget*, const QString& texto) override
    {
        mensajes << texto;
        cursores.push_back(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor);
    }
    void Error(QWidget*, const QString& texto) override { errores << texto; }
    bool Confirma(QWidget*, const QString& texto) override
    {
        preguntas << texto;
        if (respuestas.empty())
            return true;
        const bool r = respuestas.front();
        respuestas.pop_front();
        return r;
    }
    int Modal(QDialog& ventana) override
    {
        ++modales;
        if (alModal)
            return alModal(ventana);
        ventana.accept();
        return ventana.result();
    }
};

// A temporary drive C with ZTEMP inside, a copy of the sample centre in "zare", and the
// process's current directory put back at the end.
class Entorno {
public:
    explicit Entorno(bool conZtemp = true) : anterior_(QDir::currentPath())
    {
        raiz = dir_.path();
        ztemp = raiz + "/ZTEMP";
        zare = raiz + "/zare";
        if (conZtemp)
            QDir().mkpath(ztemp);
        QDir().mkpath(zare);
        const QDir muestra(QStringLiteral(SOURCE_DIR "/samples/zare"));
        for (const QString& f : muestra.entryList(QDir::Files))
            QFile::copy(muestra.filePath(f), zare + "/" + f);
        store::setDriveC(ui::RutaNativa(raiz));
    }
    ~Entorno()
    {
        QDir::setCurrent(anterior_);
        store::setDriveC("");
    }

    QString raiz, ztemp, zare;

private:
    QTemporaryDir dir_;
    QString anterior_;
};

inline QByteArray LeeArchivo(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The records of a work table in record order (deleted ones skipped), the fields asked for.
inline std::vector<QStringList> Registros(const std::string& tabla, const std::vector<std::string>& campos)
{
    store::Table t("\\ZTEMP", tabla);
    t.open(store::Access::Shared);
    std::vector<QStringList> r;
    for (t.first(); !t.eof(); t.next()) {
        QStringList fila;
        for (const std::string& c : campos)
            fila << ui::DeAnsi(t.asText(c));
        r.push_back(fila);
    }
    return r;
}

inline bool ExisteTabla(const QString& ztemp, const QString& nombre)
{
    return files::fileExists(ui::RutaNativa(ztemp + "/" + nombre));
}

// Registers a test object for the test program's main.
std::vector<std::function<std::unique_ptr<QObject>()>>& Pruebas();

template <typename T>
struct Registro {
    Registro() { Pruebas().push_back([] { return std::make_unique<T>(); }); }
};

}  // namespace prueba
