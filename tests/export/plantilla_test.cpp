// The timetable template is built whole or not at all: an existing template is never rebuilt,
// so a failure while it is filled must leave none behind, and the next call builds it whole.
#include "entorno.h"

#include "export/plantilla.h"
#include "store/errors.h"
#include "store/paths.h"
#include "store/rationed_disk.h"

#include <gtest/gtest.h>

using namespace pruebas;

namespace {

class Plantilla : public UnidadC {
protected:
    void SetUp() override
    {
        UnidadC::SetUp();
        store::setDriveC(raiz.string());
    }
    void TearDown() override
    {
        store::setDriveC("");
        UnidadC::TearDown();
    }

    std::vector<std::string> entradas() const
    {
        std::vector<std::string> nombres;
        for (const auto& e : fs::directory_iterator(ztemp))
            nombres.push_back(e.path().filename().string());
        return nombres;
    }
};

}  // namespace

TEST_F(Plantilla, AFailureWhileFillingLeavesNoTemplateAndTheNextCallBuildsItWhole)
{
    // The writes a whole build makes; then the disk fills after the first, half, all but one.
    long todas = 0;
    {
        storetest::RationedDisk contador;
        ASSERT_TRUE(exportacion::CreaPlantillaSiFalta());
        todas = contador.made;
    }
    fs::remove(ztemp / "PLANTILLA.DBF");
    fs::remove(ztemp / "PLANTILLA.MDX");
    ASSERT_GT(todas, 2);
    for (const long escrituras : {1L, todas / 2, todas - 1}) {
        SCOPED_TRACE(escrituras);
        {
            storetest::RationedDisk disco(escrituras);
            try {
                exportacion::CreaPlantillaSiFalta();
                ADD_FAILURE() << "built on a full disk";
            } catch (const std::runtime_error& e) {
                // The engine's text, or the system's with the table as its place.
                const std::string informe = store::errorReport(e);
                EXPECT_NE(informe.find("PLANTILLA"), std::string::npos) << informe;
            }
            EXPECT_GT(disco.made, escrituras);
        }
        EXPECT_EQ(entradas(), std::vector<std::string>{});
    }
    ASSERT_TRUE(exportacion::CreaPlantillaSiFalta());
    const std::vector<std::string> horas = exportacion::LeeListaPlantilla();
    ASSERT_EQ(horas.size(), 20u);
    EXPECT_EQ(horas.front(), exportacion::HoraInicioPlantilla(1));
    EXPECT_EQ(horas.back(), exportacion::HoraInicioPlantilla(20));
    EXPECT_FALSE(exportacion::CreaPlantillaSiFalta());
}
