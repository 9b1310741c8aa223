// The folder list and the drive picker.
#include "apoyo.h"

#include "ui/MainForm.h"
#include "ui/widgets/ListaCarpetas.h"
#include "ui/widgets/SelectorUnidades.h"

#include <QLabel>
#include <QSignalSpy>

class PruebaCarpetas : public QObject {
    Q_OBJECT

private slots:
    void muestraAntepasadosYSubcarpetas()
    {
        prueba::DialogosPrueba d;
        QTemporaryDir dir;
        const QString raiz = QDir(dir.path()).canonicalPath();
        for (const char* sub : {"b", "a", "C", ".oculta"})
            QDir(raiz).mkpath(sub);
        QFile(raiz + "/fichero.csv").open(QIODevice::WriteOnly);
        TListaCarpetas lista;
        QSignalSpy cambios(&lista, &TListaCarpetas::carpetaCambiada);
        lista.abre(raiz);
        QCOMPARE(cambios.count(), 1);
        QCOMPARE(QDir::currentPath(), raiz);

        const QStringList partes = raiz.split('/', Qt::SkipEmptyParts);
        QCOMPARE(lista.count(), partes.size() + 1 + 3);
        QCOMPARE(lista.item(0)->text(), QStringLiteral("/"));
        for (int i = 0; i < partes.size(); ++i) {
            QCOMPARE(lista.item(i + 1)->text(), partes[i]);
            QCOMPARE(lista.item(i + 1)->data(TListaCarpetas::RolNivel).toInt(), i + 1);
            QVERIFY(lista.item(i + 1)->data(TListaCarpetas::RolAbierta).toBool());
        }
        QCOMPARE(lista.currentItem(), lista.item(partes.size()));
        // Subfolders sorted without regard to case, one level deeper, closed; no hidden ones.
        QStringList hijas;
        for (int i = partes.size() + 1; i < lista.count(); ++i) {
            hijas << lista.item(i)->text();
            QCOMPARE(lista.item(i)->data(TListaCarpetas::RolNivel).toInt(), partes.size() + 1);
            QVERIFY(!lista.item(i)->data(TListaCarpetas::RolAbierta).toBool());
        }
        QCOMPARE(hijas, (QStringList{"a", "b", "C"}));

        // Enter opens the selected folder; opening an ancestor goes up.
        lista.setCurrentRow(partes.size() + 2);
        QTest::keyClick(&lista, Qt::Key_Return);
        QCOMPARE(lista.carpeta(), raiz + "/b");
        QCOMPARE(QDir::currentPath(), raiz + "/b");
        QCOMPARE(cambios.count(), 2);
        lista.setCurrentRow(1);
        emit lista.itemActivated(lista.item(1));  // as a double-click does
        QCOMPARE(lista.carpeta(), "/" + partes[0]);
        QDir::setCurrent(QStringLiteral(SOURCE_DIR));
    }

    void carpetaQueNoSePuedeAbrir()
    {
        prueba::DialogosPrueba d;
        QTemporaryDir dir;
        TListaCarpetas lista;
        lista.abre(dir.path());
        const QString antes = lista.carpeta();
        bool fallo = false;
        try {
            lista.abre(dir.path() + "/no-existe");
        } catch (const std::exception&) {
            fallo = true;
        }
        QVERIFY(fallo);
        QCOMPARE(lista.carpeta(), antes);
        QDir::setCurrent(QStringLiteral(SOURCE_DIR));
    }

    void etiquetaAbreviada()
    {
        const QFont fuente;
        const QFontMetrics fm(fuente);
        const QString larga = "/home/centro/documentos/horarios/curso-2025-2026/exportacion-zare/definitiva";
        const QString corta = TListaCarpetas::AbreviaRuta(larga, fm, fm.horizontalAdvance("/.../exportacion-zare/definitiva") + 2);
        QCOMPARE(corta, QStringLiteral("/.../exportacion-zare/definitiva"));
        QCOMPARE(TListaCarpetas::AbreviaRuta("/tmp", fm, 200), QStringLiteral("/tmp"));
        QVERIFY(fm.horizontalAdvance(TListaCarpetas::AbreviaRuta(larga, fm, 40)) <= 40);

        // In the window: Label2 follows the folder list, never wider than it.
        prueba::DialogosPrueba d;
        QTemporaryDir dir;
        QString profunda = dir.path();
        for (const char* p : {"una-carpeta-bastante-larga", "otra-carpeta-aun-mas-larga", "y-otra-mas", "fin"})
            profunda += QString("/") + p;
        QDir().mkpath(profunda);
        TMForm f({});
        auto* lista = f.findChild<TListaCarpetas*>("Directorios");
        auto* label2 = f.findChild<QLabel*>("Label2");
        lista->abre(profunda);
        QVERIFY(label2->text().endsWith("/fin"));
        QVERIFY(label2->text().contains("..."));
        QVERIFY(label2->width() <= lista->width());
        QCOMPARE(label2->toolTip(), QDir(profunda).canonicalPath());
        QDir::setCurrent(QStringLiteral(SOURCE_DIR));
    }

    // Out of every mounted file system, the places a person would choose from, by name.
    void unidadesQueSeOfrecen()
    {
        const QList<TVolumen> montados{{"/", ""},
                                       {"/proc", ""},
                                       {"/boot/efi", "EFI"},
                                       {"/run/user/1000", ""},
                                       {"/media/ana/DATOS 2026", "DATOS 2026"},
                                       {"/mnt/servidor", ""},
                                       {"/run/media/ana/USB", "USB"},
                                       {"/mnt/servidor/", ""},
                                       {"/home", ""}};
        QStringList textos, raices;
        for (const TUnidad& u : UnidadesOfrecidas(montados, "/home/ana")) {
            textos << u.texto;
            raices << u.raiz;
        }
        QCOMPARE(textos, (QStringList{"/", "/home/ana  [Carpeta personal]", "/media/ana/DATOS 2026  [DATOS 2026]",
                                      "/mnt/servidor  [servidor]", "/run/media/ana/USB  [USB]"}));
        QCOMPARE(raices, (QStringList{"/", "/home/ana", "/media/ana/DATOS 2026", "/mnt/servidor", "/run/media/ana/USB"}));
        // A home folder that is the root is not offered twice.
        QCOMPARE(UnidadesOfrecidas({}, "/").size(), 1);
    }

    void unidadesEnlazadasConLaLista()
    {
        prueba::DialogosPrueba d;
        TListaCarpetas lista;
        TSelectorUnidades unidades;
        unidades.ponLista(&lista);
        QVERIFY(unidades.count() >= 1);
        lista.abre(QStringLiteral(SOURCE_DIR "/samples"));
        const QString raiz = unidades.raizDe(lista.carpeta());
        QVERIFY(!raiz.isEmpty());
        QCOMPARE(unidades.currentData().toString(), raiz);
        // Another folder, then choosing the drive again: its last folder opens.
        lista.abre(QStringLiteral(SOURCE_DIR "/samples/zare"));
        lista.abre(QStringLiteral("/"));
        const int indice = unidades.findData(raiz);
        if (raiz != "/") {
            emit unidades.activated(indice);
            QCOMPARE(lista.carpeta(), QDir(SOURCE_DIR "/samples/zare").canonicalPath());
        } else {
            QCOMPARE(unidades.currentIndex(), indice);
        }
        QDir::setCurrent(QStringLiteral(SOURCE_DIR));
    }
};

static prueba::Registro<PruebaCarpetas> registro;

#include "carpetas_test.moc"
