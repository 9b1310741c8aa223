// Faults from outside the program, each through transorbelin on the sample centre: a work
// folder it may not write, a disk that fills up while a table or HORARIO.CSV is written, a
// table or an input file held by another program, a timetable solution cut short. Each run
// stops with the system's error text where the direction stops, keeps what it wrote before, and
// leaves every table one that another dBASE engine (dbfcheck) opens. On Windows, where
// dbfcheck's verdict cannot be had, the tables are read back through our own engine instead.
#include "support/proceso.h"

#include "export/horario_csv.h"
#include "store/mdx_format.h"
#include "store/paths.h"
#include "store/table.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <thread>

namespace {

namespace fs = std::filesystem;
using prueba::Lee;
using prueba::TablaLeida;

const std::string kTransorbelin = prueba::Programa("transorbelin");
const fs::path kMuestras = prueba::Ruta(prueba::RutaCompilada(SOURCE_DIR)) / "samples";

struct Resultado {
    int estado = -1;
    std::string salida;
    std::string errores;
};

std::uint32_t le32(const std::string& b, std::size_t at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
           static_cast<unsigned char>(b[at + 2]) << 16 | std::uint32_t(static_cast<unsigned char>(b[at + 3])) << 24;
}

#ifndef _WIN32
// Done in a run's process before it starts: its files may not grow beyond `bytes` (the limit on
// a process's file size), so that a write past them fails as on a full disk.
std::function<void()> LimiteDeArchivos(rlim_t bytes)
{
    return [bytes] {
        ::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit r = {bytes, bytes};
        if (::setrlimit(RLIMIT_FSIZE, &r) != 0)
            ::_exit(124);
    };
}

// Puts the calling process in a mount namespace of its own: directly when it may (root), else
// inside a user namespace of its own where it is root, as unprivileged users may on most Linux.
bool MountNamespacePropio()
{
    if (::unshare(CLONE_NEWNS) == 0)
        return true;
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return false;
    const auto escribe = [](const char* ruta, const std::string& texto) {
        const int fd = ::open(ruta, O_WRONLY);
        const bool ok = fd >= 0 && ::write(fd, texto.data(), texto.size()) == static_cast<ssize_t>(texto.size());
        if (fd >= 0)
            ::close(fd);
        return ok;
    };
    escribe("/proc/self/setgroups", "deny");  // absent on old kernels; the maps decide
    return escribe("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n") &&
           escribe("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n");
}

// Another process that holds something open until it is let go: started by a function run in
// the child, which answers whether it got hold of it.
class OtroProceso {
public:
    explicit OtroProceso(const std::function<bool()>& toma)
    {
        int listo[2], fin[2];
        if (::pipe(listo) != 0 || ::pipe(fin) != 0)
            throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(listo[0]);
            ::close(fin[1]);
            const char respuesta = toma() ? 's' : 'n';
            if (::write(listo[1], &respuesta, 1) != 1)
                ::_exit(2);
            char c;
            (void)!::read(fin[0], &c, 1);  // until the parent lets go or ends
            ::_exit(0);
        }
        ::close(listo[1]);
        ::close(fin[0]);
        fin_ = fin[1];
        char c = 'n';
        tomado_ = ::read(listo[0], &c, 1) == 1 && c == 's';
        ::close(listo[0]);
    }
    ~OtroProceso() { Suelta(); }

    bool Tomado() const { return tomado_; }

    void Suelta()
    {
        if (pid_ <= 0)
            return;
        ::close(fin_);
        int estado = 0;
        ::waitpid(pid_, &estado, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int fin_ = -1;
    bool tomado_ = false;
};
#endif

// A table of the work folder held open exclusively through our engine by another program until
// this goes: on Windows by this process itself, whose lock other processes meet just the same.
class TablaRetenida {
public:
    TablaRetenida(const fs::path& unidad, const std::string& nombre)
#ifdef _WIN32
        : tabla_("\\ZTEMP", nombre)
    {
        store::setDriveC(prueba::Texto(unidad));
        tabla_.open(store::Access::Exclusive);
    }
    bool Tomada() const { return tabla_.isOpen(); }

private:
    store::Table tabla_;
#else
        : otro_([unidad, nombre] {
              store::setDriveC(unidad.string());
              static store::Table tabla("\\ZTEMP", nombre);
              tabla.open(store::Access::Exclusive);
              return true;
          })
    {
    }
    bool Tomada() const { return otro_.Tomado(); }

private:
    OtroProceso otro_;
#endif
};

// A file held open for writing by another program until this goes (a write lock on Linux). On
// Windows this process holds it with a write handle, which the reader's sharing mode refuses.
class ArchivoRetenido {
public:
    explicit ArchivoRetenido(const fs::path& ruta)
#ifdef _WIN32
        : archivo_(CreateFileW(ruta.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~ArchivoRetenido() { Suelta(); }
    bool Tomado() const { return archivo_ != INVALID_HANDLE_VALUE; }
    void Suelta()
    {
        if (archivo_ != INVALID_HANDLE_VALUE)
            CloseHandle(archivo_);
        archivo_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE archivo_;
#else
        : otro_([ruta] {
              const int fd = ::open(ruta.c_str(), O_RDWR);
              struct flock bloqueo {};
              bloqueo.l_type = F_WRLCK;
              bloqueo.l_whence = SEEK_SET;
              return fd >= 0 && ::fcntl(fd, F_SETLK, &bloqueo) == 0;
          })
    {
    }
    bool Tomado() const { return otro_.Tomado(); }
    void Suelta() { otro_.Suelta(); }

private:
    OtroProceso otro_;
#endif
};

class Fallos : public ::testing::Test {
protected:
    void SetUp() override
    {
        raiz = tmp.ruta();
        unidad = raiz / "unidad-c";
        ztemp = unidad / "ZTEMP";
        zare = raiz / "zare";
        fs::create_directories(ztemp);
        fs::create_directories(raiz / "capturas");
        fs::copy(kMuestras / "zare", zare);
#ifndef _WIN32
        // Readable by anybody: one test runs the program as another user.
        for (const fs::path& p : {raiz, unidad, ztemp, zare})
            fs::permissions(p, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
#endif
    }

    // Runs transorbelin; `antes` runs in the child just before the program starts (on Linux
    // only: the tests that need it skip on Windows).
    Resultado Ejecuta(const std::vector<std::string>& argumentos, const std::function<void()>& antes = {}) const
    {
        const std::string rutaSalida = (raiz / "capturas" / "salida").string();
        const std::string rutaErrores = (raiz / "capturas" / "errores").string();
#ifdef _WIN32
        EXPECT_FALSE(static_cast<bool>(antes)) << "nothing runs before the program on Windows";
        std::vector<std::string> orden = {kTransorbelin, "--unidad-c", unidad.string()};
        orden.insert(orden.end(), argumentos.begin(), argumentos.end());
        Resultado r;
        {
            prueba::Proceso programa(orden, "", rutaSalida, rutaErrores);
            EXPECT_TRUE(programa.Iniciado()) << kTransorbelin;
            r.estado = programa.Espera();
        }
        r.salida = prueba::SinCR(Lee(rutaSalida));
        r.errores = prueba::SinCR(Lee(rutaErrores));
        return r;
#else
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int salida = ::open(rutaSalida.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int errores = ::open(rutaErrores.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (salida < 0 || errores < 0 || ::dup2(salida, 1) < 0 || ::dup2(errores, 2) < 0)
                ::_exit(125);
            if (antes)
                antes();
            std::vector<std::string> todos = {kTransorbelin, "--unidad-c", unidad.string()};
            todos.insert(todos.end(), argumentos.begin(), argumentos.end());
            std::vector<char*> argv;
            for (std::string& a : todos)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(kTransorbelin.c_str(), argv.data());
            ::_exit(126);
        }
        int estado = 0;
        ::waitpid(pid, &estado, 0);
        Resultado r;
        r.estado = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
        r.salida = Lee(rutaSalida);
        r.errores = Lee(rutaErrores);
        return r;
#endif
    }

    Resultado Importa(const std::function<void()>& antes = {}) const
    {
        return Ejecuta({"importar", zare.string(), "2026", (kMuestras / "niveles.csv").string()}, antes);
    }
    Resultado Exporta(const std::function<void()>& antes = {}) const
    {
        return Ejecuta({"exportar", zare.string()}, antes);
    }

    // The timetable Orbelin computed for the sample centre.
    void SolucionDeOrbelin() const
    {
        // Removed first: MinGW's copy_file does not overwrite.
        for (const char* tabla : {"SOLUC.DBF", "DIASHORAST.DBF"}) {
            fs::remove(ztemp / tabla);
            fs::copy_file(kMuestras / "orbelin" / tabla, ztemp / tabla);
        }
    }

    // SOLUC `veces` times over: its records copied after the last, the copies in record order.
    void RepiteSolucion(int veces) const
    {
        store::setDriveC(prueba::Texto(unidad));
        store::Table soluc("\\ZTEMP", "SOLUC");
        soluc.open(store::Access::Exclusive);
        const long registros = soluc.recordCount();
        for (int vez = 1; vez < veces; ++vez)
            for (long r = 1; r <= registros; ++r) {
                soluc.goTo(r);
                soluc.appendCopy();
                soluc.post();
            }
        soluc.close();
    }

    // The names in the folder of the CSV files.
    std::vector<std::string> NombresEnZare() const
    {
        std::vector<std::string> nombres;
        for (const auto& e : fs::directory_iterator(zare))
            nombres.push_back(e.path().filename().string());
        std::sort(nombres.begin(), nombres.end());
        return nombres;
    }

    // Changes SOLUC's records from `desde` on through our own engine: `cambia` on each current
    // record moves to the next.
    void CambiaSolucion(long desde, const std::function<void(store::Table&)>& cambia) const
    {
        store::setDriveC(prueba::Texto(unidad));
        store::Table soluc("\\ZTEMP", "SOLUC");
        soluc.open(store::Access::Exclusive);
        for (soluc.goTo(desde); !soluc.eof();)
            cambia(soluc);
        soluc.close();
    }

    // A table of ZTEMP as the independent engine reads it. On Windows, where dbfcheck's exit
    // status cannot be had, as our own engine reads it: every record not deleted, each field as
    // text (the reference tables are read the same way, so the two compare).
    TablaLeida LeeTabla(const fs::path& ruta) const
    {
#ifdef _WIN32
        store::setDriveC(prueba::Texto(unidad));
        store::Table tabla("\\ZTEMP", prueba::Texto(ruta.filename()));
        tabla.open(store::Access::Shared);
        TablaLeida t;
        for (const store::FieldDef& f : tabla.fields())
            t.campos.push_back({f.name, std::string(1, f.type), std::to_string(f.size), std::to_string(f.decimals)});
        for (tabla.first(); !tabla.eof(); tabla.next()) {
            std::vector<std::string> valores;
            for (const store::FieldDef& f : tabla.fields())
                valores.push_back(tabla.asText(f.name));
            t.registros.push_back(valores);
        }
        t.eliminados = static_cast<int>(tabla.recordCount() - static_cast<long>(t.registros.size()));
        return t;
#else
        return prueba::LeeTabla(ruta.string());
#endif
    }

    // The production index of a table opens (dbfcheck lists its tags; our engine opens it with
    // the table on Windows).
    bool IndiceAbre(const fs::path& tabla) const
    {
#ifdef _WIN32
        try {
            LeeTabla(tabla);
            return true;
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
            return false;
        }
#else
        return prueba::Dbfcheck({"tags", tabla.string()}).estado == 0;
#endif
    }

    // A full import and export without faults, whose tables and file the faulty runs are
    // compared with; ZTEMP is emptied afterwards unless `conservar`.
    void Referencia(bool conservar = false)
    {
        SolucionDeOrbelin();
        ASSERT_EQ(Importa().estado, 0);
        ASSERT_EQ(Exporta().estado, 0);
        for (const auto& e : fs::directory_iterator(ztemp))
            if (e.path().extension() == ".DBF")
                referencia[e.path().filename().string()] = LeeTabla(e.path());
        horarioCompleto = Lee((zare / "HORARIO.CSV").string());
        ASSERT_FALSE(horarioCompleto.empty());
        if (!conservar) {
            for (const auto& e : fs::directory_iterator(ztemp))
                fs::remove(e.path());
            fs::remove(zare / "HORARIO.CSV");
        }
    }

    // Every table in ZTEMP as dbfcheck (on Windows our engine) reads it, each checked against
    // its own header: the record count there is the number of records read, and an index opens.
    std::map<std::string, TablaLeida> TablasValidas(const std::string& salvo = "") const
    {
        std::map<std::string, TablaLeida> tablas;
        for (const auto& e : fs::directory_iterator(ztemp)) {
            const std::string nombre = e.path().filename().string();
            if (nombre == salvo)
                continue;
            if (e.path().extension() == ".MDX") {
                EXPECT_TRUE(IndiceAbre(ztemp / (e.path().stem().string() + ".DBF"))) << nombre;
                continue;
            }
            if (e.path().extension() != ".DBF")
                continue;
            try {
                const TablaLeida t = LeeTabla(e.path());
                const std::string bytes = Lee(e.path().string());
                EXPECT_EQ(le32(bytes, 4), t.registros.size() + static_cast<std::size_t>(t.eliminados)) << nombre;
                tablas[nombre] = t;
            } catch (const std::exception& error) {
                ADD_FAILURE() << nombre << " is not a table dbfcheck opens: " << error.what();
            }
        }
        return tablas;
    }

    // The records of a table are the first ones of the same table in the reference run (none
    // when the disk filled before its first piece of records was written).
    void EsPrincipioDeReferencia(const std::map<std::string, TablaLeida>& tablas, const std::string& nombre,
                                 std::size_t menosQue) const
    {
        ASSERT_TRUE(tablas.count(nombre)) << nombre;
        const auto& registros = tablas.at(nombre).registros;
        const auto& completos = referencia.at(nombre).registros;
        EXPECT_LT(registros.size(), menosQue) << nombre;
        ASSERT_LE(registros.size(), completos.size()) << nombre;
        for (std::size_t i = 0; i < registros.size(); ++i)
            EXPECT_EQ(registros[i], completos[i]) << nombre << " record " << i + 1;
    }

    // No private folder of a table built aside is left in ZTEMP.
    void SinCarpetasAparte() const
    {
        for (const auto& e : fs::directory_iterator(ztemp))
            EXPECT_EQ(e.path().filename().string().rfind(".nueva.", 0), std::string::npos) << e.path();
    }

    // An import while another program holds `tabla`: it stops with the engine's error for it.
    void ImportaConTablaRetenida(const std::string& tabla)
    {
        TablaRetenida otro(unidad, tabla);
        ASSERT_TRUE(otro.Tomada());
        const Resultado r = Importa();
        EXPECT_EQ(r.estado, 2);
        EXPECT_EQ(r.errores, "La tabla " + tabla +
                                 ".DBF est\xC3\xA1 en uso: otro programa o ventana la tiene abierta.\n");
    }

    // The files of ZTEMP, byte for byte.
    std::map<std::string, std::string> Contenido() const
    {
        std::map<std::string, std::string> c;
        for (const auto& e : fs::directory_iterator(ztemp))
            c[e.path().filename().string()] = Lee(e.path().string());
        return c;
    }

    prueba::CarpetaTemporal tmp{prueba::TemporalFueraDeC()};  // off drive C: for --unidad-c
    fs::path raiz, unidad, ztemp, zare;
    std::map<std::string, TablaLeida> referencia;
    std::string horarioCompleto;
};

TEST_F(Fallos, AWorkFolderThatCannotBeWrittenStopsBothDirectionsAndChangesNothing)
{
    SALTA_EN_WINDOWS("a folder's permissions do not keep new files out on Windows, and there is no other user to "
                     "run as");
#ifndef _WIN32
    Referencia(true);
    const std::map<std::string, std::string> antes = Contenido();
    // The program runs as a user without the right to write ZTEMP or its files; the folder of
    // the CSV files stays writable, so only the work folder is at fault.
    std::function<void()> sinPermiso;
    if (::geteuid() == 0) {
        fs::permissions(zare, fs::perms::all);
        fs::permissions(zare / "HORARIO.CSV", fs::perms::all);
        sinPermiso = [] {
            const gid_t nadie = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(nadie) != 0 || ::setuid(nadie) != 0)
                ::_exit(124);
        };
    } else {
        for (const auto& e : fs::directory_iterator(ztemp))
            fs::permissions(e.path(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        fs::permissions(ztemp, fs::perms::owner_read | fs::perms::owner_exec);
    }

    const Resultado importacion = Importa(sinPermiso);
    EXPECT_EQ(importacion.estado, 2);
    EXPECT_EQ(importacion.errores, "No se puede crear la tabla CONVOCAZARE.DBF: Acceso al archivo denegado.\n");
    const Resultado exportacion = Exporta(sinPermiso);
    EXPECT_EQ(exportacion.estado, 2);
    EXPECT_EQ(exportacion.errores,
              "No se puede crear la tabla HORARIOZARECSV.DBF: Acceso al archivo denegado.\n");
    EXPECT_EQ(exportacion.salida, "");

    fs::permissions(ztemp, fs::perms::owner_all);
    EXPECT_EQ(Contenido(), antes);
    EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), horarioCompleto);
    TablasValidas();
#endif
}

TEST_F(Fallos, AFullDiskWhileATableIsWrittenKeepsTheRecordsBefore)
{
    SALTA_EN_WINDOWS("Windows has no limit on the size of a process's files (RLIMIT_FSIZE) to fill the disk with");
#ifndef _WIN32
    Referencia();
    // Files may not grow beyond 40000 bytes: the offer table of the subjects reaches that.
    const Resultado importacion = Importa(LimiteDeArchivos(40000));
    EXPECT_EQ(importacion.estado, 2);
    EXPECT_EQ(importacion.errores, "No se puede escribir en la tabla ASIGNOMT2.DBF: Disco lleno.\n");
    EXPECT_EQ(importacion.salida, "");  // no "Proceso finalizado"
    {
        const auto tablas = TablasValidas();
        for (const char* entera : {"CONVOCAZARE.DBF", "CURSOST.DBF", "GRUPOST.DBF"})
            EXPECT_EQ(tablas.at(entera).registros, referencia.at(entera).registros) << entera;
        EsPrincipioDeReferencia(tablas, "ASIGNOMT2.DBF", referencia.at("ASIGNOMT2.DBF").registros.size());
        // The builders after the one that failed did not run.
        for (const char* ausente : {"PROFT.DBF", "AULAT.DBF", "ASIGT.DBF"})
            EXPECT_FALSE(tablas.count(ausente)) << ausente;
        EXPECT_EQ(Lee((ztemp / "ASIGNOMT2.DBF").string()).back(), '\x1A');
    }

    // The export stops while its work table fills up; HORARIO.CSV is not touched.
    ASSERT_EQ(Importa().estado, 0);
    SolucionDeOrbelin();
    prueba::Escribe((zare / "HORARIO.CSV").string(), "anterior\r\n");
    const Resultado exportacion = Exporta(LimiteDeArchivos(100000));
    EXPECT_EQ(exportacion.estado, 2);
    EXPECT_EQ(exportacion.errores, "No se puede escribir en la tabla HORARIOZARECSV.DBF: Disco lleno.\n");
    EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), "anterior\r\n");
    EsPrincipioDeReferencia(TablasValidas(), "HORARIOZARECSV.DBF", 100000 / 770 + 1);

    // The same when only the table's last records, written as it is closed, do not fit.
    const Resultado alCerrar = Exporta(LimiteDeArchivos(600000));
    EXPECT_EQ(alCerrar.estado, 2);
    EXPECT_EQ(alCerrar.errores, "No se puede escribir en la tabla HORARIOZARECSV.DBF: Disco lleno.\n");
    EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), "anterior\r\n");
    EsPrincipioDeReferencia(TablasValidas(), "HORARIOZARECSV.DBF", 600000 / 770 + 1);
#endif
}

// The records are written while the next entries are read: an error stops the export as if
// each line had been written when it was made. An entry at an hour the template lacks finds the
// lines before it in the table (once before the first batch of lines is handed over to be
// written, once after), and a full disk at an earlier line is the export's error.
TEST_F(Fallos, TheExportStopsAtTheFirstErrorInLineOrder)
{
    Referencia();
    ASSERT_EQ(Importa().estado, 0);
    for (const long desde : {250L, 560L}) {
        // What the entries before `desde` give, from an export of those alone.
        SolucionDeOrbelin();
        CambiaSolucion(desde, [](store::Table& t) { t.deleteRecord(); });
        ASSERT_EQ(Exporta().estado, 0);
        const std::size_t antes = TablasValidas().at("HORARIOZARECSV.DBF").registros.size();
        ASSERT_GT(antes, 300u);

        SolucionDeOrbelin();
        CambiaSolucion(desde, [](store::Table& t) {
            t.edit();
            t.setInteger("HORA", 99);
            t.post();
            t.next();
        });
        prueba::Escribe((zare / "HORARIO.CSV").string(), "anterior\r\n");
        const Resultado sinHora = Exporta();
        EXPECT_EQ(sinHora.estado, 2) << desde;
        EXPECT_EQ(sinHora.errores, "List index out of bounds (98)\ntabla SOLUC, registro " + std::to_string(desde) + "\n");
        EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), "anterior\r\n");
        const auto tablas = TablasValidas();
        EXPECT_EQ(tablas.at("HORARIOZARECSV.DBF").registros.size(), antes) << desde;
        EsPrincipioDeReferencia(tablas, "HORARIOZARECSV.DBF", antes + 1);

#ifndef _WIN32
        if (desde < 560)
            continue;
        // Files may not grow beyond 100000 bytes: the work table's 130th record reaches that. The
        // lines before the entry fill more than the table's first run of records (512 KiB),
        // which goes to the disk before the entry is read.
        const Resultado lleno = Exporta(LimiteDeArchivos(100000));
        EXPECT_EQ(lleno.estado, 2) << desde;
        EXPECT_EQ(lleno.errores, "No se puede escribir en la tabla HORARIOZARECSV.DBF: Disco lleno.\n") << desde;
        EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), "anterior\r\n");
        EsPrincipioDeReferencia(TablasValidas(), "HORARIOZARECSV.DBF", 100000 / 770 + 1);
#endif
    }
}

// HORARIO.CSV of a solution given `veces` times over: the lines of one, numbered on.
std::string HorarioRepetido(const std::string& uno, int veces)
{
    std::vector<std::string> lineas;
    for (std::size_t desde = 0, fin; (fin = uno.find("\r\n", desde)) != std::string::npos; desde = fin + 2)
        lineas.push_back(uno.substr(desde, fin - desde));
    std::string todas;
    for (int vez = 0; vez < veces; ++vez)
        for (const std::string& linea : lineas) {
            const std::size_t finNumero = linea.find('"', 1);
            const long numero = std::stol(linea.substr(1, finNumero - 1)) + vez * static_cast<long>(lineas.size());
            todas += "\"" + std::to_string(numero) + linea.substr(finNumero) + "\r\n";
        }
    return todas;
}

TEST_F(Fallos, ALongTimetableWaitsInADraftThatNoExportLeavesBehind)
{
    Referencia();
    ASSERT_EQ(Importa().estado, 0);
    constexpr int kVeces = 12;
    const std::string esperado = HorarioRepetido(horarioCompleto, kVeces);
    ASSERT_GT(esperado.size(), 3 * exportacion::ArchivoHorario::kTamanoEscritura) << "too short to reach the draft";
    prueba::Escribe((zare / "HORARIO.CSV").string(), "anterior\r\n");
    const std::vector<std::string> nombres = NombresEnZare();

    // The 560th entry of the last copy stops the export when the draft holds most lines: the
    // file stays as it was, and the draft is gone.
    SolucionDeOrbelin();
    RepiteSolucion(kVeces);
    const long desde = [&] {
        store::Table soluc("\\ZTEMP", "SOLUC");
        soluc.open(store::Access::Shared);
        return soluc.recordCount() / kVeces * (kVeces - 1) + 560;
    }();
    CambiaSolucion(desde, [](store::Table& t) {
        t.edit();
        t.setInteger("HORA", 99);
        t.post();
        t.next();
    });
    const Resultado sinHora = Exporta();
    EXPECT_EQ(sinHora.estado, 2);
    EXPECT_EQ(sinHora.errores, "List index out of bounds (98)\ntabla SOLUC, registro " + std::to_string(desde) + "\n");
    EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), "anterior\r\n");
    EXPECT_EQ(NombresEnZare(), nombres);

    // Whole, the draft is the file.
    SolucionDeOrbelin();
    RepiteSolucion(kVeces);
    ASSERT_EQ(Exporta().estado, 0);
    EXPECT_TRUE(Lee((zare / "HORARIO.CSV").string()) == esperado);
    EXPECT_EQ(NombresEnZare(), nombres);

#ifndef _WIN32
    // Files may not grow beyond 4 MB: the work table reaches it after its 5400th record, when
    // the draft holds more than a piece of lines. The file stays as it was, the draft is gone.
    prueba::Escribe((zare / "HORARIO.CSV").string(), "anterior\r\n");
    const Resultado lleno = Exporta(LimiteDeArchivos(4000000));
    EXPECT_EQ(lleno.estado, 2);
    EXPECT_EQ(lleno.errores, "No se puede escribir en la tabla HORARIOZARECSV.DBF: Disco lleno.\n");
    EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), "anterior\r\n");
    EXPECT_EQ(NombresEnZare(), nombres);
#endif
}

TEST_F(Fallos, AFullDiskWhileHorarioIsWrittenKeepsTheLinesBefore)
{
    SALTA_EN_WINDOWS("a small file system of its own for the CSV folder needs Linux's mount namespaces");
#ifndef _WIN32
    Referencia();
    ASSERT_EQ(Importa().estado, 0);
    // A short timetable whose lines wait in memory, and a long one whose first lines the draft
    // took before the disk filled up.
    for (const auto& [veces, tamano] : {std::pair{1, "16k"}, std::pair{12, "600k"}}) {
        SolucionDeOrbelin();
        RepiteSolucion(veces);
        const std::string completo = HorarioRepetido(horarioCompleto, veces);
        // A small file system of its own for the CSV folder, in a mount namespace of a helper
        // process that runs the export and copies out what the file system kept.
        const fs::path copia = raiz / "copia.csv";
        const pid_t ayudante = ::fork();
        if (ayudante == 0) {
            if (!MountNamespacePropio() ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("tmpfs", zare.c_str(), "tmpfs", 0, (std::string("size=") + tamano).c_str()) != 0)
                ::_exit(77);
            const Resultado r = Exporta();
            prueba::Escribe(copia.string(), Lee((zare / "HORARIO.CSV").string()));
            prueba::Escribe((raiz / "estado").string(), std::to_string(r.estado) + "\n" + r.errores + "\n" +
                                                            std::to_string(NombresEnZare().size()));
            ::_exit(0);
        }
        int estado = 0;
        ::waitpid(ayudante, &estado, 0);
        ASSERT_TRUE(WIFEXITED(estado));
        if (WEXITSTATUS(estado) == 77)
            GTEST_SKIP() << "no small file system can be mounted here";
        ASSERT_EQ(WEXITSTATUS(estado), 0);

        // Only HORARIO.CSV is left in the folder.
        EXPECT_EQ(Lee((raiz / "estado").string()), "2\nDisco lleno.\nHORARIO.CSV\n\n1") << tamano;
        const std::string kept = Lee(copia.string());
        ASSERT_GT(kept.size(), veces == 1 ? 1000u : exportacion::ArchivoHorario::kTamanoEscritura) << tamano;
        EXPECT_LT(kept.size(), completo.size()) << tamano;
        EXPECT_TRUE(kept == completo.substr(0, kept.size())) << "the lines before the full disk stay: " << tamano;
        // Only whole lines: the one the disk cut short is gone, and the file ends with CR LF.
        EXPECT_EQ(kept.substr(kept.size() - 2), "\r\n") << "torn last line: ..." << kept.substr(kept.size() - 40);
    }
    const auto tablas = TablasValidas();
    EXPECT_EQ(tablas.at("HORARIOZARECSV.DBF").registros.size(),
              12 * referencia.at("HORARIOZARECSV.DBF").registros.size());
#endif
}

TEST_F(Fallos, ATableHeldByAnotherProgramStopsTheDirectionWhereItIsNeeded)
{
    Referencia(true);
    const std::string grupos = Lee((ztemp / "GRUPOST.DBF").string());
    const std::string asignomt = Lee((ztemp / "ASIGNOMT.DBF").string());
    const std::string asignomt2 = Lee((ztemp / "ASIGNOMT2.DBF").string());
    ImportaConTablaRetenida("GRUPOST");
    // The calls and courses were rebuilt before; the groups are as the other program left them,
    // and so are the subjects' tables, whose builder comes later.
    auto tablas = TablasValidas();
    EXPECT_EQ(tablas.at("CURSOST.DBF").registros, referencia.at("CURSOST.DBF").registros);
    EXPECT_EQ(Lee((ztemp / "GRUPOST.DBF").string()), grupos);
    EXPECT_EQ(Lee((ztemp / "ASIGNOMT.DBF").string()), asignomt);
    EXPECT_EQ(Lee((ztemp / "ASIGNOMT2.DBF").string()), asignomt2);
    SinCarpetasAparte();

    // The subjects' catalogue is made anew before their offer table, which another program
    // holds: the catalogue is left empty, the offer table as it was.
    ImportaConTablaRetenida("ASIGNOMT2");
    tablas = TablasValidas();
    EXPECT_EQ(tablas.at("GRUPOST.DBF").registros, referencia.at("GRUPOST.DBF").registros);
    EXPECT_TRUE(tablas.at("ASIGNOMT.DBF").registros.empty());
    EXPECT_EQ(Lee((ztemp / "ASIGNOMT2.DBF").string()), asignomt2);
    SinCarpetasAparte();

    // The classrooms' table held: the teachers' is made before it, the assignments' after.
    const std::string aulas = Lee((ztemp / "AULAT.DBF").string());
    const std::string asignaciones = Lee((ztemp / "ASIGT.DBF").string());
    ImportaConTablaRetenida("AULAT");
    tablas = TablasValidas();
    for (const char* entera : {"ASIGNOMT.DBF", "ASIGNOMT2.DBF", "PROFT.DBF"})
        EXPECT_EQ(tablas.at(entera).registros, referencia.at(entera).registros) << entera;
    EXPECT_EQ(Lee((ztemp / "AULAT.DBF").string()), aulas);
    EXPECT_EQ(Lee((ztemp / "ASIGT.DBF").string()), asignaciones);
    SinCarpetasAparte();

    {
        TablaRetenida otro(unidad, "PROFT");
        ASSERT_TRUE(otro.Tomada());
        prueba::Escribe((zare / "HORARIO.CSV").string(), "anterior\r\n");
        const Resultado r = Exporta();
        EXPECT_EQ(r.estado, 2);
        EXPECT_EQ(r.errores, "La tabla PROFT est\xC3\xA1 en uso: otro programa o ventana la tiene abierta.\n");
    }
    EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), "anterior\r\n");
    tablas = TablasValidas();
    EXPECT_EQ(tablas.at("HORARIOZARECSV.DBF").registros, referencia.at("HORARIOZARECSV.DBF").registros);
}

TEST_F(Fallos, AnInputFileHeldForWritingStopsItsBuilder)
{
    Referencia();
    ArchivoRetenido otro(zare / "subgruposCentro.csv");
    ASSERT_TRUE(otro.Tomado());
    const Resultado r = Importa();
    EXPECT_EQ(r.estado, 2);
    EXPECT_EQ(r.errores, "Error de E/S 32.\nsubgruposCentro.csv\n");
    EXPECT_EQ(r.salida, "");
    otro.Suelta();

    // The groups are in; the subgroups and every later builder are not.
    const auto tablas = TablasValidas();
    std::vector<std::vector<std::string>> soloGrupos;
    for (const auto& fila : referencia.at("GRUPOST.DBF").registros)
        if (fila.at(tablas.at("GRUPOST.DBF").Indice("CODSUBGRUZARE")).empty())
            soloGrupos.push_back(fila);
    EXPECT_EQ(tablas.at("GRUPOST.DBF").registros, soloGrupos);
    EXPECT_FALSE(tablas.count("ASIGNOMT.DBF"));
    EXPECT_FALSE(tablas.count("ASIGT.DBF"));
}

TEST_F(Fallos, ACutShortSolutionStopsTheExportBeforeAnythingIsWritten)
{
    Referencia(true);
    const std::string soluc = Lee((ztemp / "SOLUC.DBF").string());
    prueba::Escribe((ztemp / "SOLUC.DBF").string(), soluc.substr(0, soluc.size() / 2));
    std::map<std::string, std::string> antes = Contenido();

    const Resultado r = Exporta();
    EXPECT_EQ(r.estado, 2);
    EXPECT_EQ(r.errores.rfind("La tabla SOLUC est\xC3\xA1 da\xC3\xB1" "ada: dice tener ", 0), 0u) << r.errores;
    EXPECT_NE(r.errores.find("el archivo es m\xC3\xA1s corto"), std::string::npos) << r.errores;
    EXPECT_EQ(r.salida, "");
    EXPECT_EQ(Contenido(), antes) << "the work table of an earlier export stays as it was";
    EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), horarioCompleto);
    // SOLUC, cut short by the fault itself, is left out.
    const auto tablas = TablasValidas("SOLUC.DBF");
    EXPECT_EQ(tablas.at("HORARIOZARECSV.DBF").registros, referencia.at("HORARIOZARECSV.DBF").registros);
}

// Damage that another engine or a person could leave: an index whose key length does not
// fit its field, a table header one byte short of its terminator. The export refuses the table
// by name before it writes anything, instead of finding a few teachers or none.
TEST_F(Fallos, ADamagedIndexOrHeaderStopsTheExportBeforeAnythingIsWritten)
{
    Referencia(true);
    const std::string proft = Lee((ztemp / "PROFT.MDX").string());
    const std::string soluc = Lee((ztemp / "SOLUC.DBF").string());

    std::string mdx = proft;
    const std::size_t tagSize = static_cast<unsigned char>(mdx[store::mdx::kFileTagSize]);
    const std::size_t tagHeader = std::size_t(le32(mdx, store::mdx::kTagTableBase + tagSize)) * store::mdx::kPageBytes;
    ASSERT_EQ(static_cast<unsigned char>(mdx[tagHeader + store::mdx::kTagKeyLength]), 10u);
    mdx[tagHeader + store::mdx::kTagKeyLength] = 1;
    prueba::Escribe((ztemp / "PROFT.MDX").string(), mdx);
    std::map<std::string, std::string> antes = Contenido();
    Resultado r = Exporta();
    EXPECT_EQ(r.estado, 2);
    EXPECT_EQ(r.errores.rfind("El \xC3\xADndice de la tabla PROFT est\xC3\xA1 da\xC3\xB1" "ado", 0), 0u) << r.errores;
    EXPECT_EQ(r.salida, "");
    EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), horarioCompleto);
    EXPECT_EQ(Contenido().at("PROFT.MDX"), antes.at("PROFT.MDX")) << "an index that is only read is not written";
    prueba::Escribe((ztemp / "PROFT.MDX").string(), proft);

    // SOLUC's header length one byte short: its terminator has no room.
    std::string corta = soluc;
    const std::uint32_t cabecera = static_cast<unsigned char>(corta[8]) | static_cast<unsigned char>(corta[9]) << 8;
    corta[8] = static_cast<char>((cabecera - 1) & 0xFF);
    corta[9] = static_cast<char>((cabecera - 1) >> 8);
    prueba::Escribe((ztemp / "SOLUC.DBF").string(), corta);
    r = Exporta();
    EXPECT_EQ(r.estado, 2);
    EXPECT_EQ(r.errores.rfind("La tabla SOLUC est\xC3\xA1 da\xC3\xB1" "ada", 0), 0u) << r.errores;
    EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), horarioCompleto);

    prueba::Escribe((ztemp / "SOLUC.DBF").string(), soluc);
    r = Exporta();
    EXPECT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), horarioCompleto);
}

// The template is built once and then kept: one cut short by a full disk or a killed run must
// not be left in place, or every later export would fail on it.
TEST_F(Fallos, ATemplateCutShortByAFullDiskIsNotLeftBehind)
{
    SALTA_EN_WINDOWS("Windows has no limit on the size of a process's files (RLIMIT_FSIZE) to fill the disk with");
#ifndef _WIN32
    Referencia(true);
    fs::remove(ztemp / "PLANTILLA.DBF");
    fs::remove(ztemp / "PLANTILLA.MDX");
    // Files may not grow beyond 400 bytes: the template's header and a few of its 20 hours.
    const Resultado lleno = Exporta(LimiteDeArchivos(400));
    EXPECT_EQ(lleno.estado, 2);
    EXPECT_NE(lleno.errores.find("PLANTILLA"), std::string::npos) << lleno.errores;
    EXPECT_NE(lleno.errores.find("Disco lleno"), std::string::npos) << lleno.errores;
    EXPECT_FALSE(fs::exists(ztemp / "PLANTILLA.DBF"));
    EXPECT_FALSE(fs::exists(ztemp / "PLANTILLA.MDX"));
    const Resultado r = Exporta();
    EXPECT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(LeeTabla(ztemp / "PLANTILLA.DBF").registros.size(), 20u);
    EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), horarioCompleto);
#endif
}

TEST_F(Fallos, ATemplateOfAKilledRunIsNotLeftBehind)
{
    Referencia(true);
    // How long a whole export that builds the template takes here, to spread the kills over.
    fs::remove(ztemp / "PLANTILLA.DBF");
    fs::remove(ztemp / "PLANTILLA.MDX");
    const auto inicio = std::chrono::steady_clock::now();
    ASSERT_EQ(Exporta().estado, 0);
    const auto duracion = std::chrono::steady_clock::now() - inicio;

    // Killed at moments spread over its run, more of them early, again and again: afterwards
    // the export works.
    const std::vector<std::string> orden = {kTransorbelin, "--unidad-c", unidad.string(), "exportar", zare.string()};
    for (int demora = 0; demora < 12; ++demora) {
        fs::remove(ztemp / "PLANTILLA.DBF");
        prueba::Proceso exportacion(orden, "", "", "");
        ASSERT_TRUE(exportacion.Iniciado());
        std::this_thread::sleep_for(duracion * demora * demora / 121);
        exportacion.Mata();
        exportacion.Espera();
        if (fs::exists(ztemp / "PLANTILLA.DBF")) {
            EXPECT_EQ(LeeTabla(ztemp / "PLANTILLA.DBF").registros.size(), 20u) << demora;
        }
    }
    fs::create_directory(ztemp / ".nueva.99999.1");  // as a run killed while building leaves it
    prueba::Escribe((ztemp / ".nueva.99999.1" / "PLANTILLA.DBF").string(), "x");
    const Resultado r = Exporta();
    EXPECT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(LeeTabla(ztemp / "PLANTILLA.DBF").registros.size(), 20u);
    for (const auto& e : fs::directory_iterator(ztemp))
        EXPECT_NE(e.path().filename().string().rfind(".nueva.", 0), 0u) << "left behind: " << e.path();
    EXPECT_EQ(Lee((zare / "HORARIO.CSV").string()), horarioCompleto);
}

// Two conversions started at once on one work folder: one runs, the other is refused at once
// with the folder in use; neither ends with success over the other's tables.
TEST_F(Fallos, TwoRunsAtOnceOnOneWorkFolder)
{
    Referencia(true);
    const std::vector<std::string> importa = {"importar", zare.string(), "2026", (kMuestras / "niveles.csv").string()};
    const std::vector<std::string> exporta = {"exportar", zare.string()};
    const auto orden = [&](const std::vector<std::string>& argumentos) {
        std::vector<std::string> todos = {kTransorbelin, "--unidad-c", unidad.string()};
        todos.insert(todos.end(), argumentos.begin(), argumentos.end());
        return todos;
    };
    for (int vuelta = 0; vuelta < 4; ++vuelta) {
        const std::string salidaA = (raiz / "capturas" / "a").string(), salidaB = (raiz / "capturas" / "b").string();
        int estadoA = -1, estadoB = -1;
        {
            prueba::Proceso a(orden(importa), "", "", salidaA);
            prueba::Proceso b(orden(vuelta % 2 ? importa : exporta), "", "", salidaB);
            ASSERT_TRUE(a.Iniciado() && b.Iniciado());
            estadoA = a.Espera();
            estadoB = b.Espera();
        }
        int refusals = 0;
        for (const auto& [estado, errores] : {std::pair{estadoA, Lee(salidaA)}, std::pair{estadoB, Lee(salidaB)}}) {
            ASSERT_GE(estado, 0) << "killed by a signal";
            if (estado == 0)
                continue;
            EXPECT_EQ(estado, 2) << errores;
            EXPECT_NE(errores.find("est\xC3\xA1 en uso"), std::string::npos) << errores;
            ++refusals;
        }
        EXPECT_LE(refusals, 1);
        // Whatever ran, ran alone: the tables are those of a whole import.
        const auto tablas = TablasValidas();
        for (const char* tabla : {"GRUPOST.DBF", "PROFT.DBF", "ASIGT.DBF"})
            EXPECT_EQ(tablas.at(tabla).registros, referencia.at(tabla).registros) << tabla;
    }
}

// A dangling link in the work folder by a table's name: the table is made in its place and
// nothing is made where the link pointed.
TEST_F(Fallos, ALinkByATablesNameIsReplacedNotFollowed)
{
    SALTA_EN_WINDOWS("symbolic links need a privilege on Windows, and Wine makes them as Linux links");
    Referencia(true);
    const fs::path fuera = raiz / "fuera.dbf";
    fs::remove(ztemp / "HORARIOZARECSV.DBF");
    fs::create_symlink(fuera, ztemp / "HORARIOZARECSV.DBF");
    const Resultado r = Exporta();
    EXPECT_EQ(r.estado, 0) << r.errores;
    EXPECT_FALSE(fs::exists(fuera));
    EXPECT_FALSE(fs::is_symlink(ztemp / "HORARIOZARECSV.DBF"));
    EXPECT_EQ(TablasValidas().at("HORARIOZARECSV.DBF").registros, referencia.at("HORARIOZARECSV.DBF").registros);
}

}  // namespace
