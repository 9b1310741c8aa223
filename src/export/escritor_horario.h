// The timetable's lines on their way out: each one appended to the work table
// HORARIOZARECSV.DBF and made into its line of "HORARIO.CSV" (its fields as the table reads
// them), on a thread of its own, so that the 100 MB of records are made and written while the
// export reads SOLUC and looks up the next entries. The lines are handed over in batches; the
// file's lines wait in a draft beside it rather than in memory.
#pragma once

#include "export/horario_csv.h"
#include "store/table.h"

#include <array>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace exportacion {

class EscritorHorario {
public:
    // The texts of a line, in the work table's order after NLIN: DIASEM, HORAINI, GRUPO_SUBGRU,
    // MATERIA, PROFESOR, RESERVADO, AULA.
    static constexpr std::size_t kTextos = 7;
    using Textos = std::array<std::string_view, kTextos>;

    // `horario`: the work table, open, with the fields above and NLIN; `carpeta`: the folder of
    // "HORARIO.CSV". The thread starts here; when none can start, every line is written at once
    // on the caller's.
    EscritorHorario(store::Table& horario, const std::string& carpeta);
    // Stops the thread after the lines handed to it; an error met meanwhile is dropped.
    ~EscritorHorario();
    EscritorHorario(const EscritorHorario&) = delete;
    EscritorHorario& operator=(const EscritorHorario&) = delete;

    // Adds a line, its texts copied. The lines reach the table in this order, and the first
    // error one of them meets there is thrown (here or by Termina), as if each line had been
    // written when added: the lines after it are dropped.
    void Anade(long numero, const Textos& textos);
    // Waits until every line added is in the table, and throws the first error met. The caller
    // calls it before an error of its own too, which gives way to an error of an earlier line.
    void Termina();
    // The lines of "HORARIO.CSV", after Termina: the draft put in the file's place, and the
    // lines it did not take written after it in the pieces they were made in.
    void EscribeArchivo(ArchivoHorario& archivo);

private:
    struct Lote {
        std::vector<long> numeros;
        std::vector<std::size_t> fines;  // kTextos a line: where each text ends in `textos`
        std::string textos;
        void Vacia()
        {
            numeros.clear();
            fines.clear();
            textos.clear();
        }
    };

    void Entrega();
    void Hilo();
    void Escribe(const Lote& lote);
    void AnadeRegistros();
    void AnadeLineaArchivo(const std::vector<std::string_view>& leidos, bool sinComillas);

    store::Table& horario_;
    store::FieldRef nlin_;
    std::array<store::FieldRef, kTextos> campos_;
    std::vector<std::string_view> leidos_;  // a record's fields as the table reads them
    std::string blanco_;                    // a new record's bytes, before its fields are set
    std::string registros_;                 // records made, not appended yet
    BorradorHorario borrador_;              // the file's lines, while it takes them
    std::vector<std::string> trozos_;       // the lines it did not take, with their ends, in pieces

    std::unique_ptr<Lote> actual_;  // filled by Anade
    std::mutex mutex_;
    std::condition_variable cambio_;
    std::deque<std::unique_ptr<Lote>> llenos_;    // handed over, not written yet
    std::vector<std::unique_ptr<Lote>> libres_;   // written, to be filled again
    bool fin_ = false;                            // nothing more will be handed over
    std::exception_ptr error_;                    // the first a line met
    std::thread hilo_;
};

}  // namespace exportacion
