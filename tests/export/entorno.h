// Helpers for the export tests: a stand-in for drive C with its ZTEMP, tables made by the
// independent engine dbfcheck, and runs of the command-line program.
#pragma once

#include "support/sistema.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pruebas {

namespace fs = std::filesystem;

struct Ejecucion {
    int estado = -1;      // exit status, or -1 when the program did not exit normally
    std::string salida;   // standard output
    std::string errores;  // standard error
};

// Runs `programa` with `argumentos`, standard input empty, and collects its output.
Ejecucion Ejecuta(const std::string& programa, const std::vector<std::string>& argumentos);

std::string LeeArchivo(const fs::path& ruta);
void EscribeArchivo(const fs::path& ruta, const std::string& contenido);

// A table made by dbfcheck at `nivel` (3, 4 or 7) from tab-separated lines; `campos` as
// dbfcheck takes them ("NAME:TYPE[:LEN[:DEC]],...").
void CreaTabla(const fs::path& ruta, int nivel, const std::string& campos,
               const std::vector<std::string>& lineas);
// Adds a tag to the table's production index with dbfcheck.
void CreaIndice(const fs::path& ruta, const std::string& tag, const std::string& campo);
// dbfcheck's dump of a table: its "field" and "record" lines, tab-separated.
std::vector<std::string> Volcado(const fs::path& ruta, const std::string& clase);

// The tables the import would have built, cut to the fields the export reads, and the
// timetabling product's start times per slot:
//   GRUPOST    G1 (1A, course C1), G1S (subgroup 1A-1 of C1), G2 twice (2A of C2, then 2B of C3)
//   PROFT      D1 "Docente 1", D2 with a comma and quotes in the name, D3 "Ana Souto"; tag ABREV
//   ASIGNOMT2  MAT in C1, C2, C3 (MAT, MAT2, MAT3), LIN in C1 (LING), TIC without course (TIC-X)
//   DIASHORAST Monday slots 3, 4 (a start time longer than 5), 5; Tuesday slot 3
void CreaTablasImportadas(const fs::path& ztemp);

// A temporary folder that stands for drive C, with ZTEMP inside and a folder for the CSV files.
class UnidadC : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // transorbelin --unidad-c <raiz> exportar <carpeta>
    Ejecucion Exporta() const { return Exporta(carpeta.string()); }
    Ejecucion Exporta(const std::string& carpetaCSV) const;

    fs::path raiz;
    fs::path ztemp;
    fs::path carpeta;
};

}  // namespace pruebas
