#include "entorno.h"

#include "support/proceso.h"

#include <atomic>
#include <fstream>
#include <sstream>

namespace pruebas {

namespace {

// Runs a program with its standard input from `entrada` and its output into files.
Ejecucion EjecutaConEntrada(const std::string& programa, const std::vector<std::string>& argumentos,
                            const std::string& entrada)
{
    std::vector<std::string> orden{programa};
    orden.insert(orden.end(), argumentos.begin(), argumentos.end());
    const prueba::Salida s = prueba::Ejecuta(orden, entrada);
    return {s.estado, s.salida, s.errores};
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
    raiz = prueba::TemporalFueraDeC() /
           ("export_tests." + std::to_string(prueba::IdProceso()) + ".c" + std::to_string(contador++));
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
    const prueba::Salida s = prueba::EjecutaTransorbelin({"--unidad-c", prueba::Texto(raiz), "exportar", carpetaCSV});
    return {s.estado, s.salida, s.errores};
}

}  // namespace pruebas
