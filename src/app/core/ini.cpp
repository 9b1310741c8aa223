#include "app/core/ini.h"

#include "csv/cp1252.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#endif

#include <vector>

namespace app {

namespace {

bool IgualSinMayusculas(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (csv::MinusculaCp1252(static_cast<unsigned char>(a[i])) !=
            csv::MinusculaCp1252(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool EsBlanco(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

std::string Recorta(const std::string& s)
{
    std::size_t i = 0, f = s.size();
    while (i < f && EsBlanco(s[i]))
        ++i;
    while (f > i && EsBlanco(s[f - 1]))
        --f;
    return s.substr(i, f - i);
}

struct Linea {
    std::string contenido;  // without its line end
    std::string fin;        // "\r\n", "\n" or "" for a last line without one
};

std::vector<Linea> Divide(const std::string& texto)
{
    std::vector<Linea> lineas;
    std::size_t inicio = 0;
    while (inicio < texto.size()) {
        const std::size_t lf = texto.find('\n', inicio);
        if (lf == std::string::npos) {
            lineas.push_back({texto.substr(inicio), ""});
            break;
        }
        const bool cr = lf > inicio && texto[lf - 1] == '\r';
        const std::size_t finContenido = cr ? lf - 1 : lf;
        lineas.push_back({texto.substr(inicio, finContenido - inicio), cr ? "\r\n" : "\n"});
        inicio = lf + 1;
    }
    return lineas;
}

// The section name of a header line ("[name]", blanks around it ignored), or false.
bool Cabecera(const std::string& contenido, std::string& nombre)
{
    const std::string s = Recorta(contenido);
    if (s.empty() || s[0] != '[')
        return false;
    const std::size_t cierre = s.rfind(']');
    nombre = Recorta(s.substr(1, (cierre == std::string::npos || cierre == 0 ? s.size() : cierre) - 1));
    return true;
}

// The key of a line inside a section: the text before "=", or the whole line without one.
std::string ClaveDe(const std::string& contenido)
{
    const std::size_t igual = contenido.find('=');
    return Recorta(igual == std::string::npos ? contenido : contenido.substr(0, igual));
}

}  // namespace

std::string ActualizaTextoIni(const std::string& texto, const std::string& seccion,
                              const std::string& clave, const std::string& valor)
{
    std::vector<Linea> lineas = Divide(texto);
    std::string nl = "\r\n";
    for (const Linea& l : lineas) {
        if (!l.fin.empty()) {
            nl = l.fin;
            break;
        }
    }

    // The first section of that name: its header and the end of its lines.
    std::size_t cabecera = lineas.size();
    std::size_t finSeccion = lineas.size();
    for (std::size_t i = 0; i < lineas.size(); ++i) {
        std::string nombre;
        if (!Cabecera(lineas[i].contenido, nombre))
            continue;
        if (cabecera < lineas.size()) {
            finSeccion = i;
            break;
        }
        if (IgualSinMayusculas(nombre, Recorta(seccion)))
            cabecera = i;
    }

    const std::string nuevaLinea = clave + "=" + valor;
    if (cabecera == lineas.size()) {
        if (!lineas.empty() && lineas.back().fin.empty())
            lineas.back().fin = nl;
        lineas.push_back({"[" + seccion + "]", nl});
        lineas.push_back({nuevaLinea, nl});
    } else {
        std::size_t ultimaNoBlanca = cabecera;
        bool hecho = false;
        for (std::size_t i = cabecera + 1; i < finSeccion; ++i) {
            if (Recorta(lineas[i].contenido).empty())
                continue;
            ultimaNoBlanca = i;
            const std::string claveLinea = ClaveDe(lineas[i].contenido);
            if (IgualSinMayusculas(claveLinea, Recorta(clave))) {
                lineas[i].contenido = claveLinea + "=" + valor;
                hecho = true;
                break;
            }
        }
        if (!hecho) {
            if (lineas[ultimaNoBlanca].fin.empty())
                lineas[ultimaNoBlanca].fin = nl;
            lineas.insert(lineas.begin() + static_cast<long>(ultimaNoBlanca) + 1, {nuevaLinea, nl});
        }
    }

    std::string resultado;
    resultado.reserve(texto.size() + nuevaLinea.size() + seccion.size() + 8);
    for (const Linea& l : lineas)
        resultado += l.contenido + l.fin;
    return resultado;
}

std::string TextoNoSePuedeEscribir(const std::string& ruta)
{
    return "Unable to write to " + ruta;
}

#ifdef _WIN32

bool EscribeValorIni(const std::string& ruta, const std::string& seccion,
                     const std::string& clave, const std::string& valor)
{
    return WritePrivateProfileStringA(seccion.c_str(), clave.c_str(), valor.c_str(), ruta.c_str()) != 0;
}

#else

namespace {

bool EscribeTodo(int fd, const std::string& texto)
{
    std::size_t hecho = 0;
    while (hecho < texto.size()) {
        const ssize_t n = ::write(fd, texto.data() + hecho, texto.size() - hecho);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        hecho += static_cast<std::size_t>(n);
    }
    return true;
}

bool LeeTodo(const std::string& ruta, std::string& texto)
{
    const int fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char bloque[8192];
    for (;;) {
        const ssize_t n = ::read(fd, bloque, sizeof bloque);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        texto.append(bloque, static_cast<std::size_t>(n));
    }
    return ::close(fd) == 0;
}

std::string CarpetaDe(const std::string& ruta)
{
    const std::size_t barra = ruta.rfind('/');
    if (barra == std::string::npos)
        return ".";
    return barra == 0 ? "/" : ruta.substr(0, barra);
}

}  // namespace

bool EscribeValorIni(const std::string& rutaDada, const std::string& seccion,
                     const std::string& clave, const std::string& valor)
{
    // A link is followed: the file it names is the record.
    std::string ruta = rutaDada;
    struct stat st;
    if (::lstat(ruta.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char real[PATH_MAX];
        if (::realpath(ruta.c_str(), real))
            ruta = real;
    }

    if (::stat(ruta.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return false;
        // A new file: nothing can be lost, so it is written in place.
        const int fd = ::open(ruta.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        const bool ok = EscribeTodo(fd, ActualizaTextoIni("", seccion, clave, valor));
        if (::close(fd) != 0 || !ok) {
            ::unlink(ruta.c_str());
            return false;
        }
        return true;
    }
    if (!S_ISREG(st.st_mode) || ::access(ruta.c_str(), R_OK | W_OK) != 0)
        return false;

    std::string texto;
    if (!LeeTodo(ruta, texto))
        return false;
    const std::string nuevo = ActualizaTextoIni(texto, seccion, clave, valor);

    // A copy beside the file replaces it whole, so a failed write never leaves half a file.
    std::string temporal = CarpetaDe(ruta) + "/.Orbelin.ini.XXXXXX";
    const int fd = ::mkstemp(temporal.data());
    if (fd >= 0) {
        bool ok = EscribeTodo(fd, nuevo) && ::fsync(fd) == 0;
        ok = ::fchmod(fd, st.st_mode & 07777) == 0 && ok;
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Another owner cannot be kept by an ordinary user; the file keeps its mode.
        }
        ok = ::close(fd) == 0 && ok;
        if (ok && ::rename(temporal.c_str(), ruta.c_str()) == 0)
            return true;
        ::unlink(temporal.c_str());
        return false;
    }

    // The folder takes no new file but the file itself is writable: rewrite it in place.
    const int fdDirecto = ::open(ruta.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fdDirecto < 0)
        return false;
    const bool ok = EscribeTodo(fdDirecto, nuevo);
    return ::close(fdDirecto) == 0 && ok;
}

#endif

}  // namespace app
