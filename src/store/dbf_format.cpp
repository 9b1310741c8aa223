#include "store/dbf_format.h"

#include "files/process.h"

#include <cctype>
#include <chrono>
#include <cstring>
#include <ctime>
#include <set>

namespace store::dbf {

namespace {

std::uint32_t le16(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}

std::uint32_t le32(const unsigned char* p)
{
    return le16(p) | le16(p + 2) << 16;
}

void putLe16(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void putLe32(unsigned char* p, std::uint32_t v)
{
    putLe16(p, v);
    putLe16(p + 2, v >> 16);
}

std::string hexByte(unsigned char b)
{
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[b >> 4] + digits[b & 15];
}

// The level a version byte stands for: 7, 4 (dBASE IV, 5; FoxPro 2 tables share the layout),
// 3, or 0 when it is not a dBASE table this engine reads.
int levelOf(unsigned char version, unsigned char languageId)
{
    switch (version) {
    case 0x04:
    case 0x8C:
        return 7;
    case 0x03:
    case 0x83:
        return languageId == 0 ? 3 : 4;
    case 0x8B:
    case 0xCB:
    case 0xE5:
    case 0xF5:
    case 0xFB:
        return 4;
    default:
        return 0;
    }
}

// The size a type always has, or 0 when the size is the table's choice.
int fixedSize(char type)
{
    switch (type) {
    case 'L': return 1;
    case 'I':
    case '+': return 4;
    case 'O':
    case '@':
    case 'D': return 8;
    default: return 0;
    }
}

bool knownType(char type)
{
    return std::strchr("CNFILDO+@MBG", type) != nullptr && type != '\0';
}

std::string typeText(unsigned char type)
{
    if (type >= 0x21 && type < 0x7F)
        return std::string("'") + static_cast<char>(type) + "'";
    return hexByte(type);
}

Field readDescriptor(const unsigned char* d, int level, bool foxPro, std::uint64_t fileOffset)
{
    const std::size_t nameMax = level == 7 ? 32 : 11;
    std::size_t nameLength = 0;
    while (nameLength < nameMax && d[nameLength] != 0)
        ++nameLength;
    Field f;
    f.def.name.assign(reinterpret_cast<const char*>(d), nameLength);
    f.descriptorOffset = fileOffset;
    for (unsigned char c : f.def.name)
        if (c < 0x20 || c == 0x7F)
            throw BadHeader("un nombre de campo contiene caracteres de control");
    if (f.def.name.empty())
        throw BadHeader("un campo no tiene nombre");

    unsigned char type;
    if (level == 7) {
        type = d[32];
        f.def.size = d[33];
        f.def.decimals = d[34];
        f.nextAutoIncrement = le32(d + kAutoIncrementInDescriptor);
    } else {
        type = d[11];
        f.def.size = d[16];
        f.def.decimals = d[17];
        if (foxPro && type == 'C') {  // FoxPro keeps the high byte of long text sizes there
            f.def.size += f.def.decimals << 8;
            f.def.decimals = 0;
        }
    }
    f.def.type = static_cast<char>(type);
    if (!knownType(f.def.type))
        throw BadHeader("el campo " + f.def.name + " es de un tipo desconocido (" + typeText(type) + ")");
    const int fixed = fixedSize(f.def.type);
    if (f.def.size == 0 || (fixed != 0 && f.def.size != fixed))
        throw BadHeader("el campo " + f.def.name + " tiene una longitud no v\xE1lida (" +
                        std::to_string(f.def.size) + ")");
    return f;
}

}  // namespace

Date today()
{
    // Every post stamps the header; the calendar is worked out again once a second at most,
    // timed by the steady clock: the wall clock and the time zone are costly to ask for (under
    // Wine each asking looks at the system's time zone file).
    thread_local bool known = false;
    thread_local std::chrono::steady_clock::time_point computedAt;
    thread_local Date date;
    const auto now = std::chrono::steady_clock::now();
    if (!known || now - computedAt >= std::chrono::seconds(1)) {
        const files::LocalDate local = files::localDate(std::time(nullptr));
        date = {local.year, local.month, local.day};
        computedAt = now;
        known = true;
    }
    return date;
}

std::uint32_t headerLength(const unsigned char* base, std::size_t size, std::uint64_t fileSize)
{
    if (size < kBaseHeaderSize)
        throw BadHeader("la cabecera est\xE1 incompleta (el archivo tiene " + std::to_string(fileSize) +
                        " bytes)");
    const unsigned char version = base[0];
    if (version == 0x30 || version == 0x31 || version == 0x32)
        throw BadHeader("es una tabla de Visual FoxPro, un formato que este programa no lee", true);
    const int level = levelOf(version, base[29]);
    if (level == 0)
        throw BadHeader("no es una tabla dBASE (byte de versi\xF3n " + hexByte(version) + ")");
    const std::uint32_t length = le16(base + 8);
    const std::size_t minimum = (level == 7 ? kLevel7HeaderSize + kLevel7DescriptorSize
                                            : kBaseHeaderSize + kOldDescriptorSize);
    if (length < minimum)
        throw BadHeader("la longitud de la cabecera (" + std::to_string(length) + ") es demasiado corta");
    if (length > fileSize)
        throw BadHeader("la cabecera (" + std::to_string(length) + " bytes) es m\xE1s larga que el archivo (" +
                        std::to_string(fileSize) + " bytes)");
    return length;
}

std::uint64_t endMarkOffset(const unsigned char* base)
{
    return le16(base + 8) + std::uint64_t(le32(base + 4)) * le16(base + 10);
}

Layout parseHeader(const unsigned char* header, std::size_t size, std::uint64_t fileSize)
{
    Layout layout;
    layout.headerLength = headerLength(header, size, fileSize);
    if (size < layout.headerLength)
        throw BadHeader("la cabecera est\xE1 incompleta");
    const unsigned char version = header[0];
    layout.level = levelOf(version, header[29]);
    const bool foxPro = version == 0xF5 || version == 0xFB || version == 0xE5;
    layout.recordCount = le32(header + 4);
    layout.recordLength = le16(header + 10);
    layout.productionIndex = (header[28] & 0x01) != 0;
    layout.languageId = header[29];
    if (layout.level == 7) {
        const char* name = reinterpret_cast<const char*>(header + 32);
        layout.languageDriver.assign(name, strnlen(name, 32));
    }

    const std::size_t fixed = layout.level == 7 ? kLevel7HeaderSize : kBaseHeaderSize;
    const std::size_t descriptor = layout.level == 7 ? kLevel7DescriptorSize : kOldDescriptorSize;
    std::size_t pos = fixed;
    int offset = 1;
    while (pos < layout.headerLength && header[pos] != kHeaderEnd) {
        if (pos + descriptor > layout.headerLength)
            throw BadHeader("la descripci\xF3n de los campos est\xE1 cortada");
        if (layout.fields.size() >= static_cast<std::size_t>(kMaxFields))
            throw BadHeader("tiene m\xE1s de " + std::to_string(kMaxFields) + " campos");
        Field f = readDescriptor(header + pos, layout.level, foxPro, pos);
        f.offset = offset;
        offset += f.def.size;
        layout.fields.push_back(std::move(f));
        pos += descriptor;
    }
    if (layout.fields.empty())
        throw BadHeader("no tiene campos");
    // The list of fields ends with its terminator inside the header; a header too short for it
    // would have every record read from the wrong place.
    if (pos >= layout.headerLength)
        throw BadHeader("la longitud de la cabecera (" + std::to_string(layout.headerLength) +
                        ") no da cabida a sus campos y al final de su lista");
    if (layout.recordLength < static_cast<std::uint32_t>(offset))
        throw BadHeader("la longitud de registro (" + std::to_string(layout.recordLength) +
                        ") no da cabida a sus campos (" + std::to_string(offset) + ")");
    if (layout.recordCount > 0x7FFFFFFFu ||
        layout.headerLength + std::uint64_t(layout.recordCount) * layout.recordLength > fileSize)
        throw BadHeader("dice tener " + std::to_string(layout.recordCount) +
                        " registros, pero el archivo es m\xE1s corto (falta el final de la tabla)");
    return layout;
}

std::vector<FieldDef> fieldsForCreate(const std::vector<FieldDef>& fields)
{
    if (fields.empty())
        throw std::invalid_argument("no tiene campos");
    if (fields.size() > static_cast<std::size_t>(kMaxFields))
        throw std::invalid_argument("tiene m\xE1s de " + std::to_string(kMaxFields) + " campos");
    std::vector<FieldDef> out;
    std::set<std::string> names;
    long recordLength = 1;
    for (const FieldDef& given : fields) {
        FieldDef f = given;
        if (f.name.empty() || f.name.size() > static_cast<std::size_t>(kMaxNameLength7))
            throw std::invalid_argument("el nombre de campo '" + f.name + "' debe tener de 1 a " +
                                        std::to_string(kMaxNameLength7) + " caracteres");
        for (char& c : f.name) {
            const auto u = static_cast<unsigned char>(c);
            if (u <= 0x20 || u == 0x7F)
                throw std::invalid_argument("el nombre de campo '" + given.name +
                                            "' contiene blancos o caracteres de control");
            if (u < 0x80)
                c = static_cast<char>(std::toupper(u));
        }
        if (!names.insert(f.name).second)
            throw std::invalid_argument("el campo " + f.name + " est\xE1 repetido");
        const int fixed = fixedSize(f.type);
        bool sizeOk = false;
        switch (f.type) {
        case 'C':
            sizeOk = f.size >= 1 && f.size <= 254 && f.decimals == 0;
            break;
        case 'N':
        case 'F':
            sizeOk = f.size >= 1 && f.size <= 20 && f.decimals >= 0 &&
                     (f.decimals == 0 || f.decimals <= f.size - 2);
            break;
        case 'I':
        case 'O':
        case 'L':
        case 'D':
            if (f.size == 0)
                f.size = fixed;
            sizeOk = f.size == fixed && f.decimals == 0;
            break;
        default:
            throw std::invalid_argument("el campo " + f.name + " es de un tipo que no se crea (" +
                                        typeText(static_cast<unsigned char>(f.type)) + ")");
        }
        if (!sizeOk)
            throw std::invalid_argument("el campo " + f.name + " tiene una longitud no v\xE1lida (" +
                                        std::to_string(f.size) + "," + std::to_string(f.decimals) + ")");
        recordLength += f.size;
        out.push_back(std::move(f));
    }
    if (recordLength > 0xFFFF)
        throw std::invalid_argument("sus registros ser\xED" "an demasiado largos");
    return out;
}

void encodeDateAndCount(unsigned char out[7], Date date, std::uint32_t count)
{
    out[0] = static_cast<unsigned char>(date.year - 1900);
    out[1] = static_cast<unsigned char>(date.month);
    out[2] = static_cast<unsigned char>(date.day);
    putLe32(out + 3, count);
}

std::vector<unsigned char> newTable(const std::vector<FieldDef>& fields, const std::vector<bool>& indexed,
                                    bool productionIndex, Date date)
{
    const std::size_t headerLength = kLevel7HeaderSize + kLevel7DescriptorSize * fields.size() + 1;
    std::vector<unsigned char> bytes(headerLength + 1, 0);
    bytes[0] = 0x04;
    encodeDateAndCount(&bytes[1], date, 0);
    putLe16(&bytes[8], static_cast<std::uint32_t>(headerLength));
    std::uint32_t recordLength = 1;
    for (const FieldDef& f : fields)
        recordLength += static_cast<std::uint32_t>(f.size);
    putLe16(&bytes[10], recordLength);
    bytes[28] = productionIndex ? 1 : 0;
    // The language driver of Windows ANSI, Western European (code page 1252).
    static const char language[] = "DBWINWE0";
    std::memcpy(&bytes[32], language, sizeof language - 1);

    std::size_t pos = kLevel7HeaderSize;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        unsigned char* d = &bytes[pos];
        std::memcpy(d, f.name.data(), f.name.size());
        d[32] = static_cast<unsigned char>(f.type);
        d[33] = static_cast<unsigned char>(f.size);
        d[34] = static_cast<unsigned char>(f.decimals);
        d[37] = i < indexed.size() && indexed[i] ? 1 : 0;
        pos += kLevel7DescriptorSize;
    }
    bytes[pos] = kHeaderEnd;
    bytes[pos + 1] = kEndOfFile;
    return bytes;
}

}  // namespace store::dbf
