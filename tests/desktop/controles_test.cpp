// The windows' descriptions, which both toolkits build from: one control per name, each
// parent described before its children, the controls that start hidden, the grids' columns,
// and the help context F1 finds by walking out through the parents.
#include "desktop/controles.h"

#include <gtest/gtest.h>

#include <set>

namespace {

void CompruebaArbol(const desktop::Ventana& v)
{
    std::set<std::string> vistos;
    for (const desktop::Control& c : v.controles) {
        SCOPED_TRACE(c.nombre);
        EXPECT_TRUE(vistos.insert(c.nombre).second) << "described twice";
        EXPECT_TRUE(c.padre.empty() || vistos.count(c.padre)) << "parent " << c.padre << " not described before";
        EXPECT_GT(c.lugar.ancho, 0);
        EXPECT_GT(c.lugar.alto, 0);
        if (!c.vinculo.empty())
            EXPECT_TRUE(desktop::BuscaControl(v, c.vinculo)) << "linked to " << c.vinculo;
        if (c.clase == desktop::Clase::Rejilla)
            EXPECT_FALSE(c.rejilla.columnas.empty());
    }
}

std::set<std::string> Ocultos(const desktop::Ventana& v)
{
    std::set<std::string> r;
    for (const desktop::Control& c : v.controles)
        if (!c.visible)
            r.insert(c.nombre);
    return r;
}

}  // namespace

TEST(Descripciones, BothWindowsAreWellFormed)
{
    CompruebaArbol(desktop::VentanaPrincipal());
    CompruebaArbol(desktop::VentanaPlantilla());
    EXPECT_EQ(desktop::VentanaPrincipal().controles.size(), 28u);
    EXPECT_EQ(desktop::VentanaPlantilla().controles.size(), 7u);
    EXPECT_EQ(desktop::BuscaControl(desktop::VentanaPrincipal(), "NoHay"), nullptr);
}

TEST(Descripciones, WhatStartsHiddenAndWhereTheScreensLie)
{
    const desktop::Ventana& v = desktop::VentanaPrincipal();
    EXPECT_EQ(Ocultos(v), (std::set<std::string>{"Panel1", "Panel2", "Label9", "Button2"}));
    EXPECT_TRUE(Ocultos(desktop::VentanaPlantilla()).empty());
    // The call panel lies over the folder list, the course screen over the whole window.
    EXPECT_EQ(desktop::BuscaControl(v, "Panel1")->padre, "Draw3D1");
    EXPECT_EQ(desktop::BuscaControl(v, "Panel2")->padre, "");
    const desktop::Rectangulo p2 = desktop::BuscaControl(v, "Panel2")->lugar;
    EXPECT_LE(p2.x + p2.ancho, v.ancho);
    EXPECT_LE(p2.y + p2.alto, v.alto);
    // The course screen is described after the lower panel, so it is drawn over it.
    std::size_t draw3d1 = 0, panel2 = 0;
    for (std::size_t i = 0; i < v.controles.size(); ++i) {
        if (v.controles[i].nombre == "Draw3D1")
            draw3d1 = i;
        if (v.controles[i].nombre == "Panel2")
            panel2 = i;
    }
    EXPECT_LT(draw3d1, panel2);
}

TEST(Descripciones, TheGridsColumns)
{
    const auto editables = [](const desktop::Ventana& v, const std::string& rejilla) {
        std::string r;
        for (const desktop::ColumnaRejilla& c : desktop::BuscaControl(v, rejilla)->rejilla.columnas)
            r += (r.empty() ? "" : ",") + c.campo + (c.editable ? "*" : "");
        return r;
    };
    EXPECT_EQ(editables(desktop::VentanaPrincipal(), "wwDBGridCODCENTRO"), "CONVOCATORIA,DESCRIPCION");
    EXPECT_EQ(editables(desktop::VentanaPrincipal(), "wwDBGridNIVIMP"), "CODCURSO,NOMECURSO,TURNO*,NIVEL*,CURSO*");
    EXPECT_EQ(editables(desktop::VentanaPlantilla(), "PlantiHorDBGrid"), "HORA*,HORAINI*");
    EXPECT_TRUE(desktop::BuscaControl(desktop::VentanaPrincipal(), "wwDBGridCODCENTRO")->rejilla.soloLectura);
    EXPECT_EQ(desktop::BuscaControl(desktop::VentanaPrincipal(), "wwDBGridNIVIMP")->rejilla.columnasFijas, 2);
}

TEST(Descripciones, HelpContextsWalkOutThroughTheParents)
{
    const desktop::Ventana& v = desktop::VentanaPrincipal();
    EXPECT_EQ(desktop::ContextoAyuda(v, "Directorios"), 3);
    EXPECT_EQ(desktop::ContextoAyuda(v, "wwDBGridNIVIMP"), 3);
    EXPECT_EQ(desktop::ContextoAyuda(v, ""), 3);
    const desktop::Ventana& p = desktop::VentanaPlantilla();
    EXPECT_EQ(desktop::ContextoAyuda(p, "PlantiHorDBGrid"), 1);
    EXPECT_EQ(desktop::ContextoAyuda(p, "BitBtn2"), 3);
    EXPECT_EQ(desktop::ContextoAyuda(p, "wwDBNavigator1"), 1);
    EXPECT_EQ(desktop::ContextoAyuda(p, "no-existe"), 1);

    // A description whose parents run in a circle still answers.
    desktop::Ventana circular{.nombre = "X", .contextoAyuda = 7};
    circular.controles = {{.nombre = "A", .padre = "B"}, {.nombre = "B", .padre = "A"}};
    EXPECT_EQ(desktop::ContextoAyuda(circular, "A"), 7);
}
