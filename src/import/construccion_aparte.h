// A builder's tables built on a thread of their own, while the builders before it in the import
// run build theirs: for a builder that needs nothing of theirs. The tables are built aside
// (store::NewTable) and put in place at the builder's turn. Whenever anything is not as usual (a
// file missing, an error, a table in place held by another program), they are dropped and the
// builder runs the usual way at its turn, so that what the user sees and what the work folder
// holds are those of the builders run one by one.
#pragma once

#include "import/importacion.h"
#include "store/table.h"

#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace import {

// The builder fills a TablasAparte (importacion.h) with the tables it makes and the input files
// it relies on.
class ConstruccionAparte {
public:
    // Starts `construye` on a thread; not with a file system a test put in place (it may not
    // expect calls from two threads), nor when no thread can start.
    explicit ConstruccionAparte(std::function<void(TablasAparte&)> construye);
    // Waits for the thread, and drops what was not put in place.
    ~ConstruccionAparte();
    ConstruccionAparte(const ConstruccionAparte&) = delete;
    ConstruccionAparte& operator=(const ConstruccionAparte&) = delete;

    // Puts the tables in place, in the order they were made. False, with nothing done, when
    // they were not built whole, an input file they relied on is gone, or a table in place is
    // held (the usual way stops at making it anew, with the tables before it already emptied):
    // the caller then runs the builder.
    bool PonEnSuSitio();

private:
    std::function<void(TablasAparte&)> construye_;
    TablasAparte hecho_;
    std::thread hilo_;
    bool hechas_ = false;
};

}  // namespace import
