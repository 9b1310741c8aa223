#include "export/escritor_horario.h"

#include <charconv>
#include <cstring>
#include <system_error>

namespace exportacion {

namespace {

// Lines a batch holds: a hand-over every few hundred lines, a batch's texts within the cache.
constexpr std::size_t kLineasPorLote = 512;
// Batches handed over and not written yet before the caller waits: the thread's memory stays
// small when it is the slower one.
constexpr std::size_t kLotesEnEspera = 2;
// The records are made in memory and appended about this many bytes at a time: the size of the
// table's gathered writes, so that most of them are written from here without another copy.
constexpr std::size_t kBytesDeRegistros = 512 * 1024;

const char* const kCamposTexto[EscritorHorario::kTextos] = {"DIASEM",   "HORAINI",   "GRUPO_SUBGRU", "MATERIA",
                                                            "PROFESOR", "RESERVADO", "AULA"};

}  // namespace

EscritorHorario::EscritorHorario(store::Table& horario, const std::string& carpeta)
    : horario_(horario),
      nlin_(horario.field("NLIN")),
      leidos_(kTextos + 1),
      borrador_(carpeta),
      actual_(std::make_unique<Lote>())
{
    for (std::size_t i = 0; i < kTextos; ++i)
        campos_[i] = horario.field(kCamposTexto[i]);
    horario.append();
    blanco_.assign(horario.recordBytes());
    horario.cancel();
    registros_.reserve(kBytesDeRegistros + blanco_.size());
    try {
        hilo_ = std::thread([this] { Hilo(); });
    } catch (const std::system_error&) {
        // No thread: Entrega writes each batch itself.
    }
}

EscritorHorario::~EscritorHorario()
{
    if (!hilo_.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        fin_ = true;
    }
    cambio_.notify_all();
    hilo_.join();
}

void EscritorHorario::Anade(long numero, const Textos& textos)
{
    Lote& lote = *actual_;
    lote.numeros.push_back(numero);
    // The texts copied into room taken once for them all.
    std::size_t fin = lote.textos.size();
    for (const std::string_view texto : textos)
        fin += texto.size();
    const std::size_t desde = lote.textos.size();
    lote.textos.resize(fin);
    char* p = lote.textos.data() + desde;
    for (const std::string_view texto : textos) {
        if (!texto.empty())
            std::memcpy(p, texto.data(), texto.size());
        p += texto.size();
        lote.fines.push_back(static_cast<std::size_t>(p - lote.textos.data()));
    }
    if (lote.numeros.size() >= kLineasPorLote)
        Entrega();
}

// Hands the batch being filled to the thread, or writes it without one.
void EscritorHorario::Entrega()
{
    if (actual_->numeros.empty())
        return;
    if (!hilo_.joinable()) {
        const std::unique_ptr<Lote> lote = std::move(actual_);
        actual_ = std::make_unique<Lote>();
        Escribe(*lote);
        return;
    }
    std::unique_lock<std::mutex> guard(mutex_);
    cambio_.wait(guard, [&] { return llenos_.size() < kLotesEnEspera || error_; });
    if (error_)
        std::rethrow_exception(error_);
    llenos_.push_back(std::move(actual_));
    if (libres_.empty()) {
        actual_ = std::make_unique<Lote>();
    } else {
        actual_ = std::move(libres_.back());
        libres_.pop_back();
    }
    guard.unlock();
    cambio_.notify_all();
}

void EscritorHorario::Termina()
{
    Entrega();
    if (hilo_.joinable()) {
        std::unique_lock<std::mutex> guard(mutex_);
        cambio_.wait(guard, [&] { return llenos_.empty() || error_; });
        if (error_)
            std::rethrow_exception(error_);
    }
    // Every batch is written and the thread waits: the records made last are appended here.
    AnadeRegistros();
}

void EscritorHorario::Hilo()
{
    std::unique_lock<std::mutex> guard(mutex_);
    for (;;) {
        cambio_.wait(guard, [&] { return fin_ || !llenos_.empty(); });
        if (llenos_.empty())
            return;
        // Left in the queue while it is written, so that Termina waits for it.
        Lote& lote = *llenos_.front();
        if (!error_) {
            guard.unlock();
            std::exception_ptr error;
            try {
                Escribe(lote);
            } catch (...) {
                error = std::current_exception();
            }
            guard.lock();
            error_ = error;
        }
        lote.Vacia();
        libres_.push_back(std::move(llenos_.front()));
        llenos_.pop_front();
        cambio_.notify_all();
    }
}

// Each line as the export wrote it before it had a thread: the record appended and posted, its
// fields as the table reads them made into the file's line. The records are made in memory
// and appended in runs; a line that fails leaves the ones before it appended, as posts did.
void EscritorHorario::Escribe(const Lote& lote)
{
    char numero[24];
    std::size_t desde = 0;
    for (std::size_t l = 0; l < lote.numeros.size(); ++l) {
        // The values the table keeps are parts of the texts given: none holds a quote when
        // the texts do not.
        const std::size_t finLinea = lote.fines[l * kTextos + kTextos - 1];
        const bool sinComillas = !std::memchr(lote.textos.data() + desde, '"', finLinea - desde);
        const std::size_t en = registros_.size();
        registros_ += blanco_;
        char* const registro = registros_.data() + en;
        try {
            horario_.setIntegerIn(registro, nlin_, lote.numeros[l]);  // an integer field holds it exactly, or refuses it
            const auto escrito = std::to_chars(numero, numero + sizeof numero, lote.numeros[l]);
            leidos_[0] = std::string_view(numero, static_cast<std::size_t>(escrito.ptr - numero));
            for (std::size_t i = 0; i < kTextos; ++i) {
                const std::size_t fin = lote.fines[l * kTextos + i];
                leidos_[i + 1] =
                    horario_.setTextInView(registro, campos_[i], std::string_view(lote.textos).substr(desde, fin - desde));
                desde = fin;
            }
        } catch (...) {
            registros_.resize(en);
            AnadeRegistros();  // an error of theirs is the export's, before this line's
            throw;
        }
        AnadeLineaArchivo(leidos_, sinComillas);
        if (registros_.size() >= kBytesDeRegistros)
            AnadeRegistros();
    }
}

void EscritorHorario::AnadeRegistros()
{
    horario_.appendRecordsAndClear(registros_);
}

// The file's lines go into the draft until the table is whole, so a failed export leaves the
// file as it was; in pieces of whole lines of the size the file is written in. The pieces the
// draft does not take are kept, never moved in memory.
void EscritorHorario::AnadeLineaArchivo(const std::vector<std::string_view>& leidos, bool sinComillas)
{
    // Once a piece has reached the size it is written in (the line that goes beyond it stays
    // whole in it), the draft takes it and its room holds the next lines; else a new piece.
    const bool lleno = !trozos_.empty() && trozos_.back().size() >= ArchivoHorario::kTamanoEscritura;
    if (lleno && borrador_.Anade(trozos_.back())) {
        trozos_.back().clear();
    } else if (trozos_.empty() || lleno) {
        trozos_.emplace_back();
        trozos_.back().reserve(ArchivoHorario::kTamanoEscritura + 2048);
    }
    AnadeLineaHorario(trozos_.back(), leidos, sinComillas);
    trozos_.back() += "\r\n";
}

void EscritorHorario::EscribeArchivo(ArchivoHorario& archivo)
{
    archivo.Crea();
    archivo.TomaBorrador(borrador_);
    for (const std::string& trozo : trozos_)
        archivo.AnadeLineas(trozo);
    archivo.Cierra();
}

}  // namespace exportacion
