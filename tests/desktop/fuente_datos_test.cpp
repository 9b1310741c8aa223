// The grids' data source without any toolkit: browse, edit and insert over a real table, post
// and cancel, delete, what typing may put into a field, and the navigator's buttons and the
// grid's keys on top of it.
#include "vista_prueba.h"

#include "desktop/acciones_rejilla.h"
#include "desktop/fuente_datos.h"
#include "store/errors.h"
#include "store/table.h"

using namespace pruebas;
using desktop::BotonNavegador;
using desktop::TeclaRejilla;
using Estado = desktop::FuenteDatos::Estado;

namespace {

// Counts what a grid is told, and checks that rows added or removed come in pairs.
class Observador : public desktop::ObservadorFuente {
public:
    int reinicios = 0, insertadas = 0, quitadas = 0, abiertas = 0;
    void AntesDeReiniciar() override { ++abiertas; }
    void TrasReiniciar() override { --abiertas; ++reinicios; }
    void AntesDeInsertar(int) override { ++abiertas; }
    void TrasInsertar() override { --abiertas; ++insertadas; }
    void AntesDeQuitar(int) override { ++abiertas; }
    void TrasQuitar() override { --abiertas; ++quitadas; }
};

class Fuente : public UnidadC {
protected:
    void SetUp() override
    {
        UnidadC::SetUp();
        store::recreateTable("\\ZTEMP", "PRUEBA.DBF", {{"COD", 'C', 5, 0}, {"NUM", 'I', 0, 0}, {"REAL", 'N', 8, 2}}, {}, {});
        tabla = std::make_unique<store::Table>("\\ZTEMP", "PRUEBA.DBF");
        fuente.PonObservador(&observador);
        fuente.PonColumnas({{"COD", "COD", 5, true}, {"NUM", "NUM", 5, true}, {"REAL", "REAL", 8, true}});
        fuente.PonTabla(tabla.get());
    }
    void TearDown() override
    {
        fuente.PonTabla(nullptr);
        tabla.reset();
        UnidadC::TearDown();
    }

    // Three records, AAA 1, BBB 2, CCC 3.
    void Llena()
    {
        tabla->open(store::Access::Shared);
        for (int i = 0; i < 3; ++i) {
            tabla->append();
            tabla->setText("COD", std::string(3, static_cast<char>('A' + i)));
            tabla->setInteger("NUM", i + 1);
            tabla->post();
        }
        tabla->first();
        fuente.Recarga();
    }

    std::vector<std::string> Codigos() const
    {
        std::vector<std::string> r;
        for (int f = 0; f < fuente.NumeroFilas(); ++f)
            r.push_back(fuente.Valor(f, 0));
        return r;
    }

    Observador observador;
    std::unique_ptr<store::Table> tabla;
    desktop::FuenteDatos fuente;
};

}  // namespace

TEST_F(Fuente, StatesFromClosedThroughBrowseEditAndPost)
{
    EXPECT_EQ(fuente.EstadoActual(), Estado::Inactivo);
    fuente.Edita();  // nothing on a closed table
    EXPECT_EQ(fuente.NumeroFilas(), 0);

    Llena();
    EXPECT_EQ(fuente.EstadoActual(), Estado::Navegando);
    EXPECT_EQ(Codigos(), (std::vector<std::string>{"AAA", "BBB", "CCC"}));
    EXPECT_EQ(fuente.Valor(1, 1), "2");

    fuente.Edita();
    EXPECT_EQ(fuente.EstadoActual(), Estado::Editando);
    EXPECT_FALSE(fuente.Modificada());
    fuente.Escribe(0, 0, "ZZZZZZZ");  // typing is cut to the field's size
    EXPECT_TRUE(fuente.Modificada());
    EXPECT_EQ(fuente.Valor(0, 0), "ZZZZZ");
    fuente.IrAFila(2);  // moving away posts a changed record
    EXPECT_EQ(fuente.EstadoActual(), Estado::Navegando);
    EXPECT_EQ(fuente.FilaActual(), 2);
    fuente.Recarga();  // read again from the table, the current row kept
    EXPECT_EQ(fuente.Valor(0, 0), "ZZZZZ");
    EXPECT_EQ(fuente.FilaActual(), 2);

    // A change cancelled comes back as the table holds it.
    fuente.Escribe(2, 0, "XX");
    EXPECT_EQ(fuente.EstadoActual(), Estado::Editando);
    fuente.Cancela();
    EXPECT_EQ(fuente.Valor(2, 0), "CCC");
    EXPECT_EQ(fuente.EstadoActual(), Estado::Navegando);
    EXPECT_EQ(observador.abiertas, 0);
}

TEST_F(Fuente, NewRecordsAreKeptOnlyWhenTyped)
{
    Llena();
    fuente.Anade();
    EXPECT_EQ(fuente.EstadoActual(), Estado::Anadiendo);
    EXPECT_TRUE(fuente.FilaNuevaSinCambios());
    EXPECT_EQ(fuente.NumeroFilas(), 4);
    fuente.IrAFila(0);  // an unchanged new record disappears
    EXPECT_EQ(fuente.NumeroFilas(), 3);
    EXPECT_EQ(fuente.FilaActual(), 0);

    fuente.Anade();
    fuente.Escribe(3, 0, "DDD");
    fuente.Confirma();
    EXPECT_EQ(fuente.EstadoActual(), Estado::Navegando);
    fuente.Anade();
    fuente.Cancela();  // a new record cancelled disappears
    EXPECT_EQ(Codigos(), (std::vector<std::string>{"AAA", "BBB", "CCC", "DDD"}));
    EXPECT_EQ(tabla->recordCount(), 4);
    EXPECT_EQ(observador.insertadas, 3);
    EXPECT_EQ(observador.quitadas, 2);
    EXPECT_EQ(observador.abiertas, 0);
}

TEST_F(Fuente, AnEmptyTableStartsABlankRecordOnEdit)
{
    tabla->open(store::Access::Shared);
    fuente.Recarga();
    EXPECT_EQ(fuente.FilaActual(), -1);
    fuente.Edita();
    EXPECT_EQ(fuente.EstadoActual(), Estado::Anadiendo);
    EXPECT_EQ(fuente.NumeroFilas(), 1);
    EXPECT_EQ(fuente.Valor(0, 0), "");
}

TEST_F(Fuente, DeletingMakesTheNextRecordCurrent)
{
    Llena();
    fuente.IrAFila(1);
    fuente.Edita();
    fuente.BorraActual();
    EXPECT_EQ(Codigos(), (std::vector<std::string>{"AAA", "CCC"}));
    EXPECT_EQ(fuente.FilaActual(), 1);
    EXPECT_EQ(tabla->asText("COD"), "CCC");
    fuente.BorraActual();
    EXPECT_EQ(fuente.FilaActual(), 0);
    fuente.Recarga();
    EXPECT_EQ(Codigos(), std::vector<std::string>{"AAA"});
}

TEST_F(Fuente, WhatMayBeTypedIntoNumbers)
{
    Llena();
    EXPECT_EQ(fuente.LongitudMaxima(0), 5);
    EXPECT_EQ(fuente.LongitudMaxima(1), 11);
    EXPECT_EQ(fuente.LongitudMaxima(2), 8);
    EXPECT_FALSE(fuente.ColumnaNumerica(0));
    EXPECT_TRUE(fuente.ColumnaEntera(1));
    EXPECT_TRUE(fuente.ColumnaNumerica(2));
    EXPECT_FALSE(fuente.ColumnaEntera(2));

    fuente.Escribe(0, 1, " +42 ");
    EXPECT_EQ(fuente.Valor(0, 1), "42");
    fuente.Escribe(0, 1, "-7");
    EXPECT_EQ(fuente.Valor(0, 1), "-7");
    fuente.Escribe(0, 2, "1.5");
    EXPECT_EQ(fuente.Valor(0, 2), "1.5");
    for (const char* malo : {"4x", "-", "+-1", "1.5", "99999999999999999999"}) {
        try {
            fuente.Escribe(0, 1, malo);
            ADD_FAILURE() << malo << " taken as an integer";
        } catch (const store::EngineError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + malo + "' no es un valor entero v\xE1lido");
        }
    }
    for (const char* malo : {"1,5", "inf", "abc"}) {
        try {
            fuente.Escribe(0, 2, malo);
            ADD_FAILURE() << malo << " taken as a number";
        } catch (const store::EngineError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + malo + "' no es un valor de coma flotante v\xE1lido");
        }
    }
    fuente.Escribe(0, 1, "  ");  // blank: an empty number, not an error
    EXPECT_EQ(fuente.Valor(0, 1), "");
    fuente.Escribe(0, 2, "");
    EXPECT_EQ(fuente.Valor(0, 2), "");
}

TEST_F(Fuente, NavigatorButtonsFollowThePositionAndTheState)
{
    const auto habilitados = [&] {
        std::string r;
        for (const auto& b : desktop::BotonesNavegador())
            r += desktop::BotonHabilitado(fuente, b.boton) ? '1' : '0';
        return r;
    };
    EXPECT_EQ(habilitados(), "0000000000");  // a closed table
    Llena();
    //                        first..last  edit post cancel refresh
    EXPECT_EQ(habilitados(), "000111" "1" "0" "0" "1");
    fuente.IrAFila(1);
    EXPECT_EQ(habilitados(), "111111" "1" "0" "0" "1");
    desktop::PulsaNavegador(fuente, BotonNavegador::Editar);
    EXPECT_EQ(fuente.EstadoActual(), Estado::Editando);
    EXPECT_EQ(habilitados(), "111111" "0" "1" "1" "1");
    desktop::PulsaNavegador(fuente, BotonNavegador::Confirmar);
    EXPECT_EQ(fuente.EstadoActual(), Estado::Navegando);

    EXPECT_EQ(desktop::FilaDestino(fuente, BotonNavegador::Primero), 0);
    EXPECT_EQ(desktop::FilaDestino(fuente, BotonNavegador::Anterior10), 0);
    EXPECT_EQ(desktop::FilaDestino(fuente, BotonNavegador::Anterior), 0);
    EXPECT_EQ(desktop::FilaDestino(fuente, BotonNavegador::Siguiente), 2);
    EXPECT_EQ(desktop::FilaDestino(fuente, BotonNavegador::Siguiente10), 2);
    EXPECT_EQ(desktop::FilaDestino(fuente, BotonNavegador::Ultimo), 2);
    EXPECT_EQ(desktop::FilaDestino(fuente, BotonNavegador::Refrescar), -1);

    EXPECT_EQ(desktop::BotonesNavegador()[0].pista, std::string("Move to first record"));
    EXPECT_EQ(desktop::BotonesNavegador()[9].pista, std::string("Refresh the contents of the dataset"));
}

TEST_F(Fuente, TheGridKeys)
{
    Llena();
    desktop::DescripcionRejilla rejilla;
    std::vector<std::string> preguntas;
    std::deque<bool> respuestas{false, true};
    const auto pregunta = [&](const std::string& t) {
        preguntas.push_back(t);
        const bool r = respuestas.front();
        respuestas.pop_front();
        return r;
    };

    // A grid that allows neither: Ctrl+Delete and Insert are taken and do nothing.
    EXPECT_TRUE(desktop::PulsaTeclaRejilla(fuente, rejilla, TeclaRejilla::CtrlSupr, pregunta));
    EXPECT_TRUE(desktop::PulsaTeclaRejilla(fuente, rejilla, TeclaRejilla::Insertar, pregunta));
    EXPECT_EQ(fuente.NumeroFilas(), 3);
    EXPECT_TRUE(preguntas.empty());

    rejilla.permiteBorrar = true;
    rejilla.permiteAnadir = true;
    EXPECT_TRUE(desktop::PulsaTeclaRejilla(fuente, rejilla, TeclaRejilla::CtrlSupr, pregunta));  // "Cancelar"
    EXPECT_EQ(fuente.NumeroFilas(), 3);
    EXPECT_TRUE(desktop::PulsaTeclaRejilla(fuente, rejilla, TeclaRejilla::CtrlSupr, pregunta));  // "Aceptar"
    EXPECT_EQ(Codigos(), (std::vector<std::string>{"BBB", "CCC"}));
    EXPECT_EQ(preguntas, (std::vector<std::string>{"Delete record?", "Delete record?"}));

    // The down arrow adds a record only past the last row, and only one blank one.
    EXPECT_FALSE(desktop::PulsaTeclaRejilla(fuente, rejilla, TeclaRejilla::Abajo, pregunta));
    fuente.IrAFila(1);
    EXPECT_TRUE(desktop::PulsaTeclaRejilla(fuente, rejilla, TeclaRejilla::Abajo, pregunta));
    EXPECT_EQ(fuente.EstadoActual(), Estado::Anadiendo);
    EXPECT_TRUE(desktop::PulsaTeclaRejilla(fuente, rejilla, TeclaRejilla::Abajo, pregunta));
    EXPECT_EQ(fuente.NumeroFilas(), 3);

    // Esc drops the new record; while browsing it is the toolkit's.
    EXPECT_TRUE(desktop::PulsaTeclaRejilla(fuente, rejilla, TeclaRejilla::Escape, pregunta));
    EXPECT_EQ(fuente.NumeroFilas(), 2);
    EXPECT_FALSE(desktop::PulsaTeclaRejilla(fuente, rejilla, TeclaRejilla::Escape, pregunta));
}
