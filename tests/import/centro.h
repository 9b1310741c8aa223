// A small centre written by each test into a temporary drive C, imported with `transorbelin`
// and read back with the independent dBASE engine.
#pragma once

#include "support/proceso.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <set>
#include <string>

namespace prueba {

inline const std::string kCabeceraNiveles = "CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO\n";

class Centro : public ::testing::Test {
protected:
    CarpetaTemporal raiz{TemporalFueraDeC()};
    std::string zare = raiz / "zare";
    std::string ztemp = raiz / "ZTEMP";

    // Every input file with its header line only, one call "2026" and one course "C1" "1 ESO".
    std::map<std::string, std::string> archivos = {
        {"convocatoriasCentro.csv", "convocatoria,descripcion\n2026,\"Curso 2026\"\n"},
        {"gruposCentro.csv", "conv,curso,grupo,nome,nomecurso,abrev\n2026,C1,G1,A,\"1 ESO\",1A\n"},
        {"subgruposCentro.csv", "grupo,subgrupo,texto,nome,abrev\n"},
        {"materiasHorarioOfertaCentro.csv", "materia,curso,tarefa,longo,nome,abrev\n"},
        {"materiasHorarioOfertaXeral.csv", "materia,curso,tarefa,longo,nome,abrev\n"},
        {"actividadesProfesor.csv", "codigo,longo,nome\n"},
        {"profesoresGrupoCentro.csv", "empregado,grupo,nome\n"},
        {"aulasCentro.csv", "codigo,nome\n"},
    };
    std::string niveles = kCabeceraNiveles + "\"C1\",\"1 ESO\",\"M\",\"ESO\",\"1\"\n";

    void SetUp() override { fs::create_directories(ztemp); }

    void EscribeArchivos()
    {
        fs::create_directories(zare);
        for (const auto& [nombre, contenido] : archivos)
            Escribe(zare + "/" + nombre, contenido);
        Escribe(raiz / "niveles.csv", niveles);
    }

    Salida Transorbelin(std::vector<std::string> args)
    {
        std::vector<std::string> orden{"--unidad-c", Texto(raiz.ruta())};
        orden.insert(orden.end(), args.begin(), args.end());
        return EjecutaTransorbelin(orden);
    }

    Salida Importa(const std::string& convocatoria = "2026")
    {
        EscribeArchivos();
        return Transorbelin({"importar", zare, convocatoria, raiz / "niveles.csv"});
    }

    TablaLeida Tabla(const std::string& nombre) { return LeeTabla(ztemp + "/" + nombre); }

    // Builders that did not run left nothing: none of these tables, and no private folder of a
    // table built aside.
    void NadaDe(std::initializer_list<const char*> tablas) const
    {
        for (const char* tabla : tablas)
            EXPECT_FALSE(fs::exists(ztemp + "/" + tabla)) << tabla;
        for (const auto& e : fs::directory_iterator(ztemp))
            EXPECT_EQ(e.path().filename().string().rfind(".nueva.", 0), std::string::npos) << e.path();
    }
};

}  // namespace prueba
