#include "entorno.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>

extern char** environ;

namespace pruebas {

namespace {

// Runs a program with its standard input from `entrada` and its output into files.
Ejecucion EjecutaConEntrada(const std::string& programa, const std::vector<std::string>& argumentos,
                            const std::string& entrada)
{
    static std::atomic<int> contador{0};
    const fs::path base = fs::temp_directory_path() /
                          ("export_tests." + std::to_string(::getpid()) + "." +
                           std::to_string(contador++));
    const std::string rutaEntrada = base.string() + ".in";
    const std::string rutaSalida = base.string() + ".out";
    const std::string rutaErrores = base.string() + ".err";
    EscribeArchivo(rutaEntrada, entrada);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(programa.c_str()));
    for (const std::string& a : argumentos)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t acciones;
    posix_spawn_file_actions_init(&acciones);
    posix_spawn_file_actions_addopen(&acciones, 0, rutaEntrada.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&acciones, 1, rutaSalida.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&acciones, 2, rutaErrores.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    Ejecucion r;
    const int fallo = posix_spawn(&pid, programa.c_str(), &acciones, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&acciones);
    if (fallo == 0) {
        int estado = 0;
        while (::waitpid(pid, &estado, 0) < 0 && errno == EINTR) {
        }
        r.estado = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
        r.salida = LeeArchivo(rutaSalida);
        r.errores = LeeArchivo(rutaErrores);
    } else {
        r.errores = "cannot start " + programa;
    }
    std::error_code ec;
    fs::remove(rutaEntrada, ec);
    fs::remove(rutaSalida, ec);
    fs::remove(rutaErrores, ec);
    return r;
}

std::vector<std::string> Lineas(const std::string& texto)
{
    std::vector<std::string> lineas;
    std::istringstream in(texto);
    for (std::string l; std::getline(in, l);)
        lineas.push_back(l);
    return lineas;
}

}  // namespace

Ejecucion Ejecuta(const std::string& programa, const std::vector<std::string>& argumentos)
{
    return EjecutaConEntrada(programa, argumentos, "");
}

std::string LeeArchivo(const fs::path& ruta)
{
    std::ifstream in(ruta, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void EscribeArchivo(const fs::path& ruta, const std::string& contenido)
{
    std::ofstream out(ruta, std::ios::binary | std::ios::trunc);
    out << contenido;
}

void CreaTabla(const fs::path& ruta, int nivel, const std::string& campos,
               const std::vector<std::string>& lineas)
{
    std::string entrada;
    for (const std::string& l : lineas)
        entrada += l + "\n";
    const Ejecucion r = EjecutaConEntrada(
        DBFCHECK_PATH, {"create", ruta.string(), std::to_string(nivel), campos}, entrada);
    ASSERT_EQ(r.estado, 0) << "dbfcheck create " << ruta << ": " << r.errores;
}

void CreaIndice(const fs::path& ruta, const std::string& tag, const std::string& campo)
{
    const Ejecucion r = Ejecuta(DBFCHECK_PATH, {"index", ruta.string(), tag, campo});
    ASSERT_EQ(r.estado, 0) << "dbfcheck index " << ruta << ": " << r.errores;
}

std::vector<std::string> Volcado(const fs::path& ruta, const std::string& clase)
{
    const Ejecucion r = Ejecuta(DBFCHECK_PATH, {"dump", ruta.string()});
    EXPECT_EQ(r.estado, 0) << "dbfcheck dump " << ruta << ": " << r.errores;
    std::vector<std::string> resultado;
    for (const std::string& l : Lineas(r.salida))
        if (l.rfind(clase + "\t", 0) == 0)
            resultado.push_back(l.substr(clase.size() + 1));
    return resultado;
}

void CreaTablasImportadas(const fs::path& ztemp)
{
    CreaTabla(ztemp / "GRUPOST.DBF", 7,
              "ABREV:C:10,TURNO:C:1,CODCURSOZARE:C:15,NOMEABREVGRUPZARE:C:100,"
              "NOMEABREVSUBGRUZARE:C:100",
              {"G1\tM\tC1\t1A\t", "G1S\tM\tC1\t1A\t1A-1", "G2\tM\tC2\t2A\t", "G2\tM\tC3\t2B\t"});
    CreaTabla(ztemp / "PROFT.DBF", 4, "ABREV:C:10,NOMBRE:C:80,X_EMPLEADO:C:10",
              {"D1\tDocente 1\t1", "D2\tP\xE9rez, \"Pepe\"\t2", "D3\tAna Souto\t3"});
    CreaIndice(ztemp / "PROFT.DBF", "ABREV", "ABREV");
    CreaTabla(ztemp / "AULAT.DBF", 7, "ABREV:C:10,NOMBRE:C:80", {"A12\tAula 12"});
    CreaTabla(ztemp / "ASIGNOMT2.DBF", 7, "COD:C:10,CODCURSO:C:20,ABREVZARE:C:100",
              {"MAT\tC1\tMAT", "MAT\tC2\tMAT2", "MAT\tC3\tMAT3", "LIN\tC1\tLING", "TIC\t\tTIC-X"});
    CreaTabla(ztemp / "DIASHORAST.DBF", 4, "DIA:N:2:0,HORA:N:3:0,HORADESDE:C:8",
              {"1\t3\t09:30", "1\t4\t10:15:30", "1\t5\t10:30", "2\t3\t12:00"});
}

void UnidadC::SetUp()
{
    static std::atomic<int> contador{0};
    raiz = fs::temp_directory_path() /
           ("export_tests." + std::to_string(::getpid()) + ".c" + std::to_string(contador++));
    fs::remove_all(raiz);
    ztemp = raiz / "ZTEMP";
    carpeta = raiz / "zare";
    fs::create_directories(ztemp);
    fs::create_directories(carpeta);
}

void UnidadC::TearDown()
{
    std::error_code ec;
    fs::remove_all(raiz, ec);
}

Ejecucion UnidadC::Exporta(const std::string& carpetaCSV) const
{
    return Ejecuta(std::string(BIN_DIR) + "/transorbelin",
                   {"--unidad-c", raiz.string(), "exportar", carpetaCSV});
}

}  // namespace pruebas
