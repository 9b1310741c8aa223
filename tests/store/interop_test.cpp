// Tables we write, read by another dBASE engine (Free Pascal's TDbf, through dbfcheck), and
// tables that engine wrote at levels 3, 4 and 7, read and extended by ours.
#include "store/table.h"

#include "store_support.h"

#include <cstring>

using namespace store;
using namespace storetest;

namespace {

using TableInterop = WorkFolder;

std::string joined(const std::vector<std::string>& parts)
{
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i)
        out += (i ? "\t" : "") + parts[i];
    return out;
}

}  // namespace

TEST_F(TableInterop, AnotherEngineReadsOurLevel7Tables)
{
    SALTA_SIN_DBFCHECK();
    recreateTable("\\ZTEMP", "TIPOS.DBF",
                  {{"NOMEABREVSUBGRUZARE", 'C', 10, 0},
                   {"T", 'C', 1, 0},
                   {"NLIN", 'I', 0, 0},
                   {"HORAS", 'N', 8, 2},
                   {"ENTERO", 'N', 4, 0},
                   {"PESO", 'O', 0, 0},
                   {"ESTAREA", 'L', 0, 0}},
                  {}, {});
    Table t("\\ZTEMP", "TIPOS.DBF");
    t.open(Access::Shared);
    t.append();
    t.setText("NOMEABREVSUBGRUZARE", "Matem\xE1ticasAplicadas");  // cut to 10
    t.setText("T", "XYZ");
    t.setInteger("NLIN", 123456);
    t.setFloat("HORAS", 12.5);
    t.setInteger("ENTERO", 42);
    t.setFloat("PESO", 3.25);
    t.setBool("ESTAREA", true);
    t.post();
    t.append();  // every field blank
    t.post();
    t.append();
    t.setText("NOMEABREVSUBGRUZARE", "  lead");
    t.setInteger("NLIN", -7);
    t.setFloat("HORAS", -0.5);
    t.setInteger("ENTERO", 0);
    t.setFloat("PESO", -1e-3);
    t.setBool("ESTAREA", false);
    t.post();
    t.append();
    t.setText("T", "D");
    t.setInteger("NLIN", 0);
    t.setFloat("PESO", 0);
    t.post();
    t.deleteRecord();
    // Checked while the table is still open: every post leaves a complete table behind.
    const std::string dump = dbfcheck("dump " + file("TIPOS.DBF"));
    t.close();

    EXPECT_NE(dump.find("version\t04\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("language\tDBWINWE0"), std::string::npos) << dump;
    EXPECT_EQ(dumpLines(dump, "field"),
              (std::vector<std::string>{"NOMEABREVSUBGRUZARE\tC\t10\t0", "T\tC\t1\t0", "NLIN\tI\t4\t0",
                                        "HORAS\tN\t8\t2", "ENTERO\tN\t4\t0", "PESO\tO\t8\t0",
                                        "ESTAREA\tL\t1\t0"}));
    EXPECT_EQ(dumpLines(dump, "records"), std::vector<std::string>{"4"});
    EXPECT_EQ(dumpLines(dump, "record"),
              (std::vector<std::string>{joined({"Matem\xE1tica", "X", "123456", "12.5", "42", "3.25", "True"}),
                                        joined({"", "", "", "", "", "", ""}),
                                        joined({"  lead", "", "-7", "-0.5", "0", "-0.001", "False"})}));
    EXPECT_EQ(dumpLines(dump, "deleted"), std::vector<std::string>{joined({"", "D", "0", "", "", "0", ""})});
}

TEST_F(TableInterop, WeReadWhatAnotherEngineWroteAtEveryLevel)
{
    SALTA_SIN_DBFCHECK();
    const std::string rows = "1A\t12.5\t3\t-2.25\tT\n"
                             "\t\t\t\t\n"
                             "Cl\xE1sica\t-1\t-40\t1000000.5\tF\n";
    for (const char* level : {"3", "4", "7"}) {
        SCOPED_TRACE(level);
        const std::string path = file(std::string("NIVEL") + level + ".DBF");
        dbfcheck("create " + path + " " + level + " ABREV:C:8,HORAS:N:6:2,DIA:I,PESO:O,ESTAREA:L", rows);
        Table t("\\ZTEMP", std::string("nivel") + level);
        t.open(Access::Shared);
        ASSERT_EQ(t.fields().size(), 5u);
        EXPECT_EQ(t.fields()[0].name, "ABREV");
        EXPECT_EQ(t.fields()[0].size, 8);
        EXPECT_EQ(t.fields()[1].type, 'N');
        EXPECT_EQ(t.fields()[1].decimals, 2);
        EXPECT_EQ(t.fields()[2].type, std::string(level) == "7" ? 'I' : 'N');
        EXPECT_EQ(t.recordCount(), 3);

        EXPECT_EQ(t.asText("ABREV"), "1A");
        EXPECT_DOUBLE_EQ(t.asFloat("HORAS"), 12.5);
        EXPECT_EQ(t.asInteger("DIA"), 3);
        EXPECT_DOUBLE_EQ(t.asFloat("PESO"), -2.25);
        EXPECT_TRUE(t.asBool("ESTAREA"));
        t.next();
        EXPECT_EQ(t.asText("ABREV"), "");
        EXPECT_EQ(t.asInteger("HORAS"), 0);
        EXPECT_EQ(t.asInteger("DIA"), 0);
        EXPECT_TRUE(t.isBlank("DIA"));
        EXPECT_FALSE(t.asBool("ESTAREA"));
        t.next();
        EXPECT_EQ(t.asText("ABREV"), "Cl\xE1sica");
        EXPECT_EQ(t.asInteger("DIA"), -40);
        EXPECT_DOUBLE_EQ(t.asFloat("PESO"), 1000000.5);
        EXPECT_EQ(t.asInteger("PESO"), 1000000);  // half to even
        EXPECT_TRUE(t.locate("DIA;ESTAREA", {-40.0, false}));
        EXPECT_EQ(t.recNo(), 3);
        t.next();
        EXPECT_TRUE(t.eof());
    }
}

TEST_F(TableInterop, OurWritesToOlderLevelsStayReadable)
{
    SALTA_SIN_DBFCHECK();
    for (const char* level : {"3", "4"}) {
        SCOPED_TRACE(level);
        const std::string path = file(std::string("VIEJA") + level + ".DBF");
        dbfcheck("create " + path + " " + level + " ABREV:C:4,DIA:N:3:0,ESTAREA:L", "AB\t1\tT\n");
        {
            Table t("\\ZTEMP", std::string("VIEJA") + level);
            t.open(Access::Exclusive);
            t.append();
            t.setText("ABREV", "CDEFG");
            t.setInteger("DIA", 12);
            t.setBool("ESTAREA", false);
            t.post();
            t.first();
            t.edit();
            t.setInteger("DIA", -5);
            t.post();
        }
        const std::string dump = dbfcheck("dump " + path);
        EXPECT_NE(dump.find("version\t03\n"), std::string::npos) << dump;
        EXPECT_EQ(dumpLines(dump, "record"),
                  (std::vector<std::string>{joined({"AB", "-5", "True"}), joined({"CDEF", "12", "False"})}));
    }
}

namespace {

void putLe16(std::string& b, std::size_t at, unsigned v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

// A field descriptor of 32 bytes (dBASE III) or 48 bytes (level 7).
std::string descriptor(bool level7, const std::string& name, char type, int size, int decimals)
{
    std::string d(level7 ? 48 : 32, '\0');
    d.replace(0, name.size(), name);
    d[level7 ? 32 : 11] = type;
    d[level7 ? 33 : 16] = static_cast<char>(size);
    d[level7 ? 34 : 17] = static_cast<char>(decimals);
    return d;
}

std::string table(bool level7, unsigned char version, const std::vector<std::string>& descriptors,
                  const std::vector<std::string>& records)
{
    std::string b(level7 ? 68 : 32, '\0');
    b[0] = static_cast<char>(version);
    for (const auto& d : descriptors)
        b += d;
    b += '\x0D';
    putLe16(b, 8, static_cast<unsigned>(b.size()));
    putLe16(b, 10, static_cast<unsigned>(records.empty() ? 1 : records[0].size()));
    b[4] = static_cast<char>(records.size());
    for (const auto& r : records)
        b += r;
    return b + '\x1A';
}

}  // namespace

TEST_F(TableInterop, DatesFloatsAutoincrementsAndTimestamps)
{
    SALTA_SIN_DBFCHECK();
    // dBASE III with a date, a float and a memo field (the memo is not read).
    writeBytes(ztemp / "FECHAS.DBF",
               table(false, 0x83,
                     {descriptor(false, "DIA", 'D', 8, 0), descriptor(false, "F", 'F', 10, 3),
                      descriptor(false, "NOTAS", 'M', 10, 0)},
                     {std::string(" ") + "20240229" + "     2.125" + "         1",
                      std::string(" ") + "        " + "    -1.5e2" + "          "}));
    Table t("\\ZTEMP", "FECHAS");
    t.open(Access::Exclusive);
    EXPECT_EQ(t.asText("DIA"), "20240229");
    EXPECT_DOUBLE_EQ(t.asFloat("F"), 2.125);
    expectEngineError([&] { t.asText("NOTAS"); }, {"FECHAS", "NOTAS", "memo"});
    t.next();
    EXPECT_EQ(t.asText("DIA"), "");
    EXPECT_DOUBLE_EQ(t.asFloat("F"), -150);
    EXPECT_TRUE(t.locate("DIA", {std::string("20240229")}));
    t.append();
    t.setText("DIA", "20250101");
    t.post();
    expectEngineError([&] { t.edit(), t.setText("DIA", "1 enero"); }, {"DIA"});
    t.cancel();
    t.close();
    t.open(Access::Shared);
    EXPECT_EQ(t.recordCount(), 3);
    t.last();
    EXPECT_EQ(t.asText("DIA"), "20250101");
    EXPECT_EQ(readBytes(ztemp / "FECHAS.DBF")[0], '\x83');  // the level is kept

    // Level 7 with an autoincrement (next value 41 in its descriptor) and a timestamp:
    // 2024-02-29 10:30:15 is 63844799415000 ms from the start of year 1, plus the first day.
    std::string autoinc = descriptor(true, "ID", '+', 4, 0);
    autoinc[42] = 41;
    const double stamp = (738944.0 + 1) * 86400000.0 + (10 * 3600 + 30 * 60 + 15) * 1000.0;
    std::uint64_t bits;
    std::memcpy(&bits, &stamp, 8);
    std::string stampBytes(8, '\0');
    for (int i = 0; i < 8; ++i)
        stampBytes[i] = static_cast<char>(bits >> (56 - 8 * i));
    const std::string id40 = std::string("\x80\x00\x00\x28", 4);
    writeBytes(ztemp / "SELLO.DBF", table(true, 0x04, {autoinc, descriptor(true, "CUANDO", '@', 8, 0)},
                                          {" " + id40 + stampBytes}));
    Table s("\\ZTEMP", "SELLO");
    s.open(Access::Exclusive);
    EXPECT_EQ(s.asInteger("ID"), 40);
    EXPECT_EQ(s.asText("CUANDO"), "20240229103015");
    s.append();
    s.post();
    EXPECT_EQ(s.asInteger("ID"), 41);
    s.append();
    s.post();
    EXPECT_EQ(s.asInteger("ID"), 42);
    EXPECT_TRUE(s.isBlank("CUANDO"));
    s.goTo(1);
    s.appendCopy();  // a copy carries the timestamp but numbers itself
    s.post();
    EXPECT_EQ(s.asInteger("ID"), 43);
    EXPECT_EQ(s.asText("CUANDO"), "20240229103015");
    s.close();
    const std::string sello = dbfcheck("dump " + file("SELLO.DBF"));
    const auto records = dumpLines(sello, "record");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1].substr(0, 3), "41\t");
    EXPECT_EQ(records[2].substr(0, 3), "42\t");
    EXPECT_EQ(records[3].substr(0, 3), "43\t");
    EXPECT_EQ(static_cast<unsigned char>(readBytes(ztemp / "SELLO.DBF")[68 + 42]), 44u);
}
