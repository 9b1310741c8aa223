// The engine's behaviour as the conversion code relies on it: values, record states,
// navigation, locate, errors.
#include "store/table.h"

#include "store_support.h"

#include <algorithm>
#include <cmath>

using namespace store;
using namespace storetest;

namespace {

const std::vector<FieldDef> kFields = {
    {"CODIGO", 'C', 6, 0},
    {"NOMEABREVSUBGRUZARE", 'C', 10, 0},
    {"HORAS", 'N', 5, 1},
    {"NLIN", 'I', 0, 0},
    {"PESO", 'O', 0, 0},
    {"ESTAREA", 'L', 0, 0},
};

class TableTest : public WorkFolder {
protected:
    void SetUp() override
    {
        WorkFolder::SetUp();
        recreateTable("\\ZTEMP", "PRUEBA.DBF", kFields, {}, {"PRUEBA.DBF"});
    }

    // Appends records with CODIGO and HORAS set.
    void fill(Table& t, const std::vector<std::pair<std::string, double>>& rows)
    {
        for (const auto& [code, hours] : rows) {
            t.append();
            t.setText("CODIGO", code);
            t.setFloat("HORAS", hours);
            t.post();
        }
    }

    std::vector<std::string> codesInOrder(Table& t)
    {
        std::vector<std::string> out;
        for (t.first(); !t.eof(); t.next())
            out.push_back(t.asText("CODIGO"));
        return out;
    }
};

}  // namespace

TEST_F(TableTest, ValuesOfEveryTypeReadBackAsWritten)
{
    Table t("\\ZTEMP", "PRUEBA.DBF");
    t.open(Access::Exclusive);
    ASSERT_EQ(t.fields().size(), kFields.size());
    EXPECT_EQ(t.fields()[3].size, 4);
    EXPECT_EQ(t.fields()[4].size, 8);
    EXPECT_EQ(t.fields()[5].size, 1);
    t.append();
    t.setText("CODIGO", "  AB");
    t.setText("nomeabrevsubgruzare", "Grupo 1\xBA");  // field names are found without regard to case
    t.setFloat("HORAS", 12.25);
    t.setInteger("NLIN", -42);
    t.setFloat("PESO", -0.125);
    t.setBool("ESTAREA", true);
    t.post();
    t.close();

    t.open(Access::Shared);
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.asText("CODIGO"), "  AB");  // leading blanks are kept, trailing ones dropped
    EXPECT_EQ(t.asText("NOMEABREVSUBGRUZARE"), "Grupo 1\xBA");
    EXPECT_DOUBLE_EQ(t.asFloat("HORAS"), 12.2);  // one decimal: 12.25 is stored as 12.2
    EXPECT_EQ(t.asText("HORAS"), "12.2");
    EXPECT_EQ(t.asInteger("NLIN"), -42);
    EXPECT_EQ(t.asText("NLIN"), "-42");
    EXPECT_DOUBLE_EQ(t.asFloat("PESO"), -0.125);
    EXPECT_TRUE(t.asBool("ESTAREA"));
    EXPECT_EQ(t.asText("ESTAREA"), "T");

    // The same through a field's handle, a number field taking 1 for true as by name.
    t.edit();
    t.setBool(t.field("ESTAREA"), false);
    t.setBool(t.field("HORAS"), true);
    t.post();
    EXPECT_EQ(t.asText("ESTAREA"), "F");
    EXPECT_DOUBLE_EQ(t.asFloat("HORAS"), 1);
}

TEST_F(TableTest, TextsAreCutToTheFieldAndBlankFieldsReadEmpty)
{
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    t.append();
    t.setText("CODIGO", "ABCDEFGHIJ");
    t.post();
    EXPECT_EQ(t.asText("CODIGO"), "ABCDEF");
    EXPECT_EQ(t.asText("NOMEABREVSUBGRUZARE"), "");
    EXPECT_TRUE(t.isBlank("NOMEABREVSUBGRUZARE"));
    EXPECT_TRUE(t.isBlank("HORAS"));
    EXPECT_TRUE(t.isBlank("NLIN"));
    EXPECT_TRUE(t.isBlank("PESO"));
    EXPECT_TRUE(t.isBlank("ESTAREA"));
    EXPECT_EQ(t.asInteger("HORAS"), 0);
    EXPECT_EQ(t.asInteger("NLIN"), 0);
    EXPECT_EQ(t.asFloat("PESO"), 0);
    EXPECT_FALSE(t.asBool("ESTAREA"));
    EXPECT_EQ(t.asText("NLIN"), "");

    // Zero is a value, not a blank.
    t.edit();
    t.setInteger("NLIN", 0);
    t.setFloat("PESO", 0);
    t.setBool("ESTAREA", false);
    t.post();
    EXPECT_FALSE(t.isBlank("NLIN"));
    EXPECT_FALSE(t.isBlank("PESO"));
    EXPECT_FALSE(t.isBlank("ESTAREA"));
    EXPECT_EQ(t.asText("NLIN"), "0");
}

// What setTextView answers is what textView reads of the field afterwards, found without
// reading the field: cut to its size, up to a NUL, without trailing blanks.
TEST_F(TableTest, ATextSetReadsBackAsTheViewItAnswers)
{
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    const FieldRef codigo = t.field("CODIGO");
    const FieldRef nombre = t.field("NOMEABREVSUBGRUZARE");
    const std::vector<std::string> values = {"ABCDEFGHIJ", "AB  ", "ABCDE   X", std::string("A\0B", 3),
                                             std::string("A \0B", 4), "", "      ", "ABCDEF", "\"Q\" "};
    for (const std::string& value : values) {
        t.append();
        const std::string first(t.setTextView(codigo, value));
        const std::string second(t.setTextView(nombre, value));
        EXPECT_EQ(first, t.textView(codigo)) << value;
        EXPECT_EQ(second, t.textView(nombre)) << value;
        t.post();
        EXPECT_EQ(first, t.asText(codigo)) << value;
        EXPECT_EQ(second, t.asText(nombre)) << value;
    }
    t.first();
    EXPECT_EQ(t.asText(codigo), "ABCDEF");
    t.next();
    EXPECT_EQ(t.asText(codigo), "AB");

    // A NUL anywhere in the field ends its text, in a record of the table or one made in
    // memory, however far the value went.
    t.append();
    std::string record(t.recordBytes());
    t.cancel();
    for (std::size_t at = 0; at < 10; ++at) {
        std::string value(12, 'x');
        value[at] = '\0';
        const std::string expected(at, 'x');
        EXPECT_EQ(t.setTextInView(record.data(), nombre, value), expected) << at;
        EXPECT_EQ(t.setTextInView(record.data(), nombre, value.substr(0, at + 1)), expected) << at;
        t.append();
        EXPECT_EQ(t.setTextView(nombre, value), expected) << at;
        t.post();
        EXPECT_EQ(t.asText(nombre), expected) << at;
        EXPECT_EQ(t.textView(nombre), expected) << at;
    }
    EXPECT_EQ(t.setTextInView(record.data(), nombre, "uno  dos   "), "uno  dos");
}

TEST_F(TableTest, IntegersRoundHalfToEven)
{
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    const std::vector<std::pair<double, long>> cases = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4, 2}, {2.6, 3}, {0.5, 0}, {1.5, 2}};
    for (const auto& [value, expected] : cases) {
        t.append();
        t.setFloat("HORAS", value);
        t.setFloat("PESO", value);
        t.setText("CODIGO", std::to_string(value).substr(0, 4));
        t.post();
        EXPECT_EQ(t.asInteger("HORAS"), expected) << value;
        EXPECT_EQ(t.asInteger("PESO"), expected) << value;
        EXPECT_EQ(t.asInteger("CODIGO"), expected) << value;  // a number in a text field
    }
    t.append();
    t.setFloat("NLIN", 2.5);  // an integer field takes the rounded value
    t.post();
    EXPECT_EQ(t.asInteger("NLIN"), 2);
    // A number no integer holds is an engine error naming the table and the field, not another
    // kind of error that the callers do not expect.
    t.append();
    t.setFloat("PESO", 1e300);
    t.setText("CODIGO", "9e99");
    t.post();
    expectEngineError([&] { t.asInteger("PESO"); }, {"PRUEBA", "PESO"});
    expectEngineError([&] { t.asInteger("CODIGO"); }, {"PRUEBA", "CODIGO"});
    EXPECT_DOUBLE_EQ(t.asFloat("PESO"), 1e300);
}

TEST_F(TableTest, FieldsFoundOnceActAsTheirNamesAndBelongToTheirOpening)
{
    recreateTable("\\ZTEMP", "OTRA.DBF", kFields, {}, {"OTRA.DBF"});
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    const FieldRef codigo = t.field("codigo"), horas = t.field("HORAS"), nlin = t.field("NLIN");
    EXPECT_EQ(codigo.name(), "CODIGO");
    t.append();
    t.setText(codigo, "ABCDEFGH");  // cut to the field's 6
    t.setFloat(horas, 2.5);
    t.setInteger(nlin, 7);
    expectEngineError([&] { t.setFloat(horas, 1000); }, {"PRUEBA", "HORAS", "no cabe"});
    t.post();
    EXPECT_EQ(t.asText("CODIGO"), "ABCDEF");
    EXPECT_EQ(t.asText(codigo), "ABCDEF");
    EXPECT_DOUBLE_EQ(t.asFloat(horas), 2.5);
    EXPECT_EQ(t.asInteger(horas), 2);  // half to even, as by name
    EXPECT_EQ(t.asInteger(nlin), 7);
    EXPECT_EQ(t.textView(codigo), "ABCDEF");  // the text as read, trailing blanks dropped
    t.edit();
    t.setText(codigo, "AB ");
    EXPECT_EQ(t.textView(codigo), "AB");  // the record being edited
    t.cancel();
    EXPECT_EQ(t.textView(codigo), "ABCDEF");
    expectEngineError([&] { t.textView(horas); }, {"PRUEBA", "HORAS"});
    expectEngineError([&] { t.field("NOHAY"); }, {"PRUEBA", "NOHAY"});

    // Another table's field, one taken before the table was opened again, or none at all, is
    // refused rather than read at its number.
    Table otra("\\ZTEMP", "OTRA");
    otra.open(Access::Exclusive);
    otra.append();
    expectEngineError([&] { otra.setText(codigo, "X"); }, {"OTRA", "CODIGO"});
    t.close();
    expectEngineError([&] { t.asText(codigo); }, {"PRUEBA"});
    t.open(Access::Exclusive);
    expectEngineError([&] { t.asText(codigo); }, {"PRUEBA", "CODIGO"});
    expectEngineError([&] { t.asText(FieldRef()); }, {"PRUEBA"});
    EXPECT_EQ(t.asText(t.field("CODIGO")), "ABCDEF");
}

TEST_F(TableTest, ACopyStartsFromTheCurrentRecordAsItIsNow)
{
    for (const Access access : {Access::Exclusive, Access::Shared}) {
        recreateTable("\\ZTEMP", "PRUEBA.DBF", kFields, {}, {"PRUEBA.DBF"});
        Table t("\\ZTEMP", "PRUEBA");
        t.open(access);
        t.appendCopy();  // nothing current: a blank record
        EXPECT_TRUE(t.isBlank("CODIGO"));
        t.setText("CODIGO", "A1");
        t.setText("NOMEABREVSUBGRUZARE", "grupo");
        t.setFloat("HORAS", 2.5);
        t.setBool("ESTAREA", true);
        t.post();
        t.appendCopy();
        t.setText("CODIGO", "A2");
        t.post();
        // An edit of the record just appended is what the next copy starts from.
        t.edit();
        t.setText("NOMEABREVSUBGRUZARE", "otro");
        t.post();
        t.appendCopy();
        t.setText("CODIGO", "A3");
        t.post();
        // A deleted record's copy is a live record; a copy of the first carries its values.
        t.goTo(1);
        t.deleteRecord();
        t.goTo(1);
        t.appendCopy();
        t.setText("CODIGO", "A4");
        t.post();
        // A cancelled copy leaves nothing.
        t.appendCopy();
        t.cancel();
        t.close();

        t.open(Access::Shared);
        EXPECT_EQ(t.recordCount(), 4) << "access " << int(access);
        std::vector<std::string> seen;
        for (t.first(); !t.eof(); t.next())
            seen.push_back(t.asText("CODIGO") + " " + t.asText("NOMEABREVSUBGRUZARE") + " " + t.asText("HORAS") +
                           (t.asBool("ESTAREA") ? " T" : " F"));
        EXPECT_EQ(seen, (std::vector<std::string>{"A2 otro 2.5 T", "A3 otro 2.5 T", "A4 grupo 2.5 T"}))
            << "access " << int(access);
        t.close();
    }
}

TEST_F(TableTest, ValuesThatDoNotFitAreRefused)
{
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    t.append();
    t.setFloat("HORAS", 999.9);
    expectEngineError([&] { t.setFloat("HORAS", 1000); }, {"PRUEBA", "HORAS", "no cabe"});
    expectEngineError([&] { t.setInteger("HORAS", -10000); }, {"HORAS", "no cabe"});
    expectEngineError([&] { t.setFloat("NLIN", 3e9); }, {"NLIN", "no cabe"});
    expectEngineError([&] { t.setText("HORAS", "doce"); }, {"HORAS", "doce"});
    expectEngineError([&] { t.setText("ESTAREA", "quiz\xE1s"); }, {"ESTAREA"});
    EXPECT_DOUBLE_EQ(t.asFloat("HORAS"), 999.9);  // a refused value leaves the field as it was
    t.setText("HORAS", " -7.5 ");
    EXPECT_DOUBLE_EQ(t.asFloat("HORAS"), -7.5);
    t.setText("HORAS", "");
    EXPECT_TRUE(t.isBlank("HORAS"));
    t.post();
}

TEST_F(TableTest, NegativeZeroIsStoredAsZero)
{
    // Other engines read the sign of a "-0": a value that is or rounds to zero is stored unsigned.
    recreateTable("\\ZTEMP", "CEROS.DBF", {{"ENTERO", 'N', 4, 0}, {"HORAS", 'N', 6, 2}, {"PESO", 'F', 5, 1}}, {}, {});
    Table t("\\ZTEMP", "CEROS");
    t.open(Access::Exclusive);
    for (const double zero : {-0.0, -0.001}) {
        t.append();
        t.setFloat("ENTERO", zero);
        t.setFloat("HORAS", zero);
        t.setFloat("PESO", zero);
        t.post();
    }
    t.append();
    t.setText("HORAS", "-0");
    t.setInteger("ENTERO", -0);
    t.post();
    t.close();
    const std::string bytes = readBytes(ztemp / "CEROS.DBF");
    const std::uint32_t start = le16(bytes, 8), length = le16(bytes, 10);
    ASSERT_EQ(bytes.size(), start + 3 * length + 1);
    for (std::uint32_t r = 0; r < 2; ++r)
        EXPECT_EQ(bytes.substr(start + r * length + 1, 15), "   0  0.00  0.0") << "record " << r + 1;
    EXPECT_EQ(bytes.substr(start + 2 * length + 1, 10), "   0  0.00");
}

TEST_F(TableTest, NavigationFollowsRecordOrderAndSkipsDeletedRecords)
{
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recNo(), 0);
    EXPECT_EQ(t.asText("CODIGO"), "");  // no current record: fields read blank
    fill(t, {{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}});
    EXPECT_EQ(codesInOrder(t), (std::vector<std::string>{"A", "B", "C", "D"}));

    t.goTo(2);
    t.deleteRecord();  // moves on to the next record
    EXPECT_EQ(t.asText("CODIGO"), "C");
    EXPECT_EQ(t.recordCount(), 4);
    EXPECT_EQ(codesInOrder(t), (std::vector<std::string>{"A", "C", "D"}));

    t.last();
    EXPECT_EQ(t.asText("CODIGO"), "D");
    t.prior();
    EXPECT_EQ(t.asText("CODIGO"), "C");
    t.prior();
    EXPECT_EQ(t.asText("CODIGO"), "A");
    EXPECT_FALSE(t.bof());
    t.prior();
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.asText("CODIGO"), "A");

    // Deleting while walking: the loop ends after the last record.
    std::vector<std::string> kept;
    for (t.first(); !t.eof();) {
        if (t.asText("CODIGO") == "D") {
            t.deleteRecord();
        } else {
            kept.push_back(t.asText("CODIGO"));
            t.next();
        }
    }
    EXPECT_EQ(kept, (std::vector<std::string>{"A", "C"}));
    t.goTo(2);
    EXPECT_EQ(t.asText("CODIGO"), "B");  // a deleted record can still be reached by number
    expectEngineError([&] { t.goTo(5); }, {"PRUEBA", "5"});
}

TEST_F(TableTest, RecordStates)
{
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    expectEngineError([&] { t.setText("CODIGO", "X"); }, {"PRUEBA", "edici"});
    EXPECT_FALSE(t.editingOrAppending());

    t.edit();  // nothing to edit on an empty table: a new record, as the classic engines do
    EXPECT_TRUE(t.editingOrAppending());
    t.setText("CODIGO", "A");
    t.post();
    EXPECT_FALSE(t.editingOrAppending());
    EXPECT_EQ(t.recordCount(), 1);

    t.append();
    t.setText("CODIGO", "B");
    EXPECT_EQ(t.asText("CODIGO"), "B");  // reads see the record being appended
    t.cancel();
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.asText("CODIGO"), "A");

    t.edit();
    t.setText("CODIGO", "Z");
    t.cancel();
    EXPECT_EQ(t.asText("CODIGO"), "A");

    t.append();
    t.setText("CODIGO", "C");
    t.first();  // moving away posts
    EXPECT_FALSE(t.editingOrAppending());
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(codesInOrder(t), (std::vector<std::string>{"A", "C"}));

    t.append();
    t.setText("CODIGO", "D");
    t.close();  // closing posts too
    t.open(Access::Exclusive);
    EXPECT_EQ(codesInOrder(t), (std::vector<std::string>{"A", "C", "D"}));
}

TEST_F(TableTest, DestructorPostsPendingRecord)
{
    {
        Table u("\\ZTEMP", "PRUEBA");
        u.open(Access::Exclusive);
        u.append();
        u.setText("CODIGO", "E");
    }
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    EXPECT_EQ(codesInOrder(t), (std::vector<std::string>{"E"}));
}

// A shared open outside a held work folder: others may read the table between any two posts.
TEST_F(TableTest, FileIsAValidTableAfterEveryPost)
{
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Shared);
    const std::string path = file("PRUEBA.DBF");
    for (int i = 1; i <= 3; ++i) {
        t.append();
        t.setText("CODIGO", "R" + std::to_string(i));
        t.post();
        const std::string bytes = readBytes(path);
        const std::uint32_t headerLength = le16(bytes, 8), recordLength = le16(bytes, 10);
        EXPECT_EQ(le32(bytes, 4), static_cast<std::uint32_t>(i));
        ASSERT_EQ(bytes.size(), headerLength + i * recordLength + 1);
        EXPECT_EQ(bytes.back(), '\x1A');
        EXPECT_EQ(bytes.substr(headerLength + (i - 1) * recordLength, 3), " R" + std::to_string(i));
    }
    // An edit rewrites the record in place.
    t.goTo(2);
    t.edit();
    t.setText("CODIGO", "X");
    t.post();
    const std::string bytes = readBytes(path);
    EXPECT_EQ(le32(bytes, 4), 3u);
    EXPECT_EQ(bytes.substr(le16(bytes, 8) + le16(bytes, 10), 3), " X ");
    t.deleteRecord();
    EXPECT_EQ(readBytes(path)[le16(bytes, 8) + le16(bytes, 10)], '*');
}

TEST_F(TableTest, LocateFindsTheFirstMatchExactly)
{
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    fill(t, {{"ab", 1}, {"AB", 2}, {"AB", 3}, {"C", 2.5}, {"", 0}});
    t.goTo(1);
    t.edit();
    t.setBool("ESTAREA", true);
    t.post();
    t.goTo(3);
    t.edit();
    t.setBool("ESTAREA", true);
    t.post();

    EXPECT_TRUE(t.locate("CODIGO", {std::string("AB")}));
    EXPECT_EQ(t.recNo(), 2);  // letter case counts; the first in record order
    EXPECT_TRUE(t.locate("CODIGO;ESTAREA", {std::string("AB"), true}));
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_TRUE(t.locate(" codigo ; horas ", {std::string("C"), 2.5}));
    EXPECT_EQ(t.recNo(), 4);
    EXPECT_TRUE(t.locate("HORAS", {std::string("2.50")}));  // numbers compare by value
    EXPECT_EQ(t.recNo(), 4);
    EXPECT_TRUE(t.locate("CODIGO", {std::string("")}));
    EXPECT_EQ(t.recNo(), 5);

    t.goTo(1);
    EXPECT_FALSE(t.locate("CODIGO", {std::string("AB ")}));  // no trailing-blank tolerance
    EXPECT_FALSE(t.locate("CODIGO", {std::string("ABCDEFGH")}));  // longer than the field
    EXPECT_FALSE(t.locate("CODIGO;ESTAREA", {std::string("C"), true}));
    EXPECT_FALSE(t.locate("HORAS", {7.0}));
    EXPECT_FALSE(t.locate("NLIN", {0.0}));  // a blank number is not 0
    EXPECT_TRUE(t.locate("NLIN", {std::string()}));
    EXPECT_EQ(t.recNo(), 1);
    t.goTo(1);
    EXPECT_FALSE(t.locate("HORAS", {std::string("dos")}));
    EXPECT_EQ(t.recNo(), 1);  // not found: the cursor stays

    expectEngineError([&] { t.locate("CODIGO;HORAS", {std::string("AB")}); }, {"PRUEBA", "CODIGO;HORAS"});
    expectEngineError([&] { t.locate("CODIGO;NADA", {std::string("AB"), 1.0}); }, {"PRUEBA", "NADA"});
}

TEST_F(TableTest, ALocateByOneFieldAnswersAsItsListForm)
{
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    fill(t, {{"ab", 1}, {"AB", 2}, {"AB", 3}, {"C", 2.5}, {"", 0}, {"ABCDEFGH", 4}});
    t.goTo(6);
    t.edit();
    t.setBool("ESTAREA", true);
    t.post();
    int found = 0;
    // Texts against fields of each kind; the cursor starts elsewhere each time.
    for (const char* name : {"CODIGO", "HORAS", "NLIN", "ESTAREA"})
        for (const std::string text : {"AB", "ab", "AB ", "ABCDEF", "ABCDEFGH", "", "2.50", "4", "dos", "T", "x"}) {
            t.goTo(1);
            const bool byList = t.locate(name, {text});
            const long atByList = t.recNo();
            t.goTo(1);
            EXPECT_EQ(t.locate(t.field(name), text), byList) << name << " " << text;
            EXPECT_EQ(t.recNo(), atByList) << name << " " << text;
            found += byList;
        }
    EXPECT_EQ(found, 9);  // CODIGO 4 (the one cut to the field among them), HORAS 2, NLIN 1, ESTAREA 2

    // One index for both forms, kept current as records are appended, changed and deleted.
    const FieldRef codigo = t.field("CODIGO");
    t.append();
    t.setText(codigo, "Z");
    t.post();
    EXPECT_TRUE(t.locate(codigo, "Z"));
    EXPECT_EQ(t.recNo(), 7);
    t.edit();
    t.setText(codigo, "W");
    t.post();
    EXPECT_FALSE(t.locate(codigo, "Z"));
    EXPECT_TRUE(t.locate("CODIGO", {std::string("W")}));
    t.goTo(2);
    t.deleteRecord();
    EXPECT_TRUE(t.locate(codigo, "AB"));
    EXPECT_EQ(t.recNo(), 3);
    // Opened again, with a field of the new opening.
    t.close();
    t.open(Access::Exclusive);
    EXPECT_TRUE(t.locate(t.field("CODIGO"), "W"));
    EXPECT_EQ(t.recNo(), 7);
    expectEngineError([&] { t.locate(codigo, "W"); }, {"PRUEBA", "CODIGO"});
}

TEST_F(TableTest, LocateSeesEveryPostAndDeletion)
{
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    // The import's pattern: locate, append when missing, locate again.
    for (int round = 0; round < 2; ++round)
        for (const char* code : {"X1", "X2", "X1", "X3", "X2"})
            if (!t.locate("CODIGO", {std::string(code)})) {
                t.append();
                t.setText("CODIGO", code);
                t.post();
            }
    EXPECT_EQ(t.recordCount(), 3);

    t.locate("CODIGO", {std::string("X2")});
    t.edit();
    t.setText("CODIGO", "Y2");
    t.post();
    EXPECT_FALSE(t.locate("CODIGO", {std::string("X2")}));
    EXPECT_TRUE(t.locate("CODIGO", {std::string("Y2")}));
    EXPECT_EQ(t.recNo(), 2);

    t.deleteRecord();
    EXPECT_FALSE(t.locate("CODIGO", {std::string("Y2")}));
    t.append();
    t.setText("CODIGO", "X1");
    t.post();
    EXPECT_TRUE(t.locate("CODIGO", {std::string("X1")}));
    EXPECT_EQ(t.recNo(), 1);
    t.goTo(1);
    t.deleteRecord();
    EXPECT_TRUE(t.locate("CODIGO", {std::string("X1")}));
    EXPECT_EQ(t.recNo(), 4);
}

TEST_F(TableTest, SharedOpensSeeEachOthersWrites)
{
    Table a("\\ZTEMP", "PRUEBA");
    Table b("\\ZTEMP", "PRUEBA");
    a.open(Access::Shared);
    b.open(Access::Shared);
    EXPECT_FALSE(b.locate("CODIGO", {std::string("A")}));
    fill(a, {{"A", 1}});
    EXPECT_TRUE(b.locate("CODIGO", {std::string("A")}));
    fill(b, {{"B", 2}});  // appends after what the other open wrote
    a.first();
    EXPECT_EQ(a.recordCount(), 2);
    EXPECT_EQ(codesInOrder(a), (std::vector<std::string>{"A", "B"}));
    a.goTo(1);
    a.edit();
    a.setText("CODIGO", "A2");
    a.post();
    b.close();
    b.open(Access::Shared);
    EXPECT_EQ(codesInOrder(b), (std::vector<std::string>{"A2", "B"}));
}

TEST_F(TableTest, ASharedTableRebuiltUnderUsIsReported)
{
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Shared);
    fill(t, {{"A", 1}});
    const std::string original = readBytes(ztemp / "PRUEBA.DBF");
    // Another program rewrites the file in place with other fields.
    recreateTable("\\ZTEMP", "OTRA.DBF", {{"X", 'C', 3, 0}}, {}, {});
    writeBytes(ztemp / "PRUEBA.DBF", readBytes(ztemp / "OTRA.DBF"));
    expectEngineError([&] { t.first(); }, {"PRUEBA", "estructura"});
    EXPECT_FALSE(t.isOpen());
    // Cut short in place: the error names the damage, and what was read stays usable.
    writeBytes(ztemp / "PRUEBA.DBF", original);
    t.open(Access::Shared);
    writeBytes(ztemp / "PRUEBA.DBF", original.substr(0, 30));
    expectEngineError([&] { t.first(); }, {"PRUEBA", "da\xF1"});
    EXPECT_EQ(t.asText("CODIGO"), "A");
}

TEST_F(TableTest, TablesAreFoundWithoutRegardToCase)
{
    // Through another name: Wine renames no file to its own name in other letters.
    fs::rename(ztemp / "PRUEBA.DBF", ztemp / "otro.tmp");
    fs::rename(ztemp / "otro.tmp", ztemp / "prueba.dbf");
    Table t("C:\\ztemp", "Prueba");
    t.open(Access::Exclusive);
    EXPECT_EQ(t.name(), "Prueba");
    fill(t, {{"A", 1}});
    t.close();
    recreateTable("\\ZTEMP", "PRUEBA.DBF", kFields, {}, {});  // replaces the file it finds
    std::vector<std::string> names;  // as spelt on disk, whether the file system ignores case or not
    for (const auto& entry : fs::directory_iterator(ztemp))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(std::count(names.begin(), names.end(), "prueba.dbf"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "PRUEBA.DBF"), 0);
    t.open(Access::Exclusive);
    EXPECT_EQ(t.recordCount(), 0);
}

TEST_F(TableTest, RecreateDeletesTheNamedFiles)
{
    writeBytes(ztemp / "otra.mdx", "x");
    writeBytes(ztemp / "GUARDAR.TXT", "x");
    {
        Table t("\\ZTEMP", "PRUEBA");
        t.open(Access::Exclusive);
        fill(t, {{"A", 1}});
    }
    recreateTable("\\ZTEMP", "PRUEBA.DBF", {{"OTRO", 'C', 3, 0}}, {}, {"PRUEBA.DBF", "OTRA.MDX", "FALTA.MDX"});
    EXPECT_FALSE(fs::exists(ztemp / "otra.mdx"));
    EXPECT_TRUE(fs::exists(ztemp / "GUARDAR.TXT"));
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    EXPECT_EQ(t.recordCount(), 0);
    ASSERT_EQ(t.fields().size(), 1u);
    EXPECT_EQ(t.fields()[0].name, "OTRO");
}

TEST_F(TableTest, RecreateRefusesBadDefinitionsAndTablesInUse)
{
    expectEngineError([] { recreateTable("\\ZTEMP", "MALA", {{"NOMBRE_DE_CAMPO_DEMASIADO_LARGO_X", 'C', 5, 0}}, {}, {}); },
                      {"MALA", "NOMBRE_DE_CAMPO_DEMASIADO_LARGO_X"});
    expectEngineError([] { recreateTable("\\ZTEMP", "MALA", {{"A", 'C', 0, 0}}, {}, {}); }, {"MALA", "A"});
    expectEngineError([] { recreateTable("\\ZTEMP", "MALA", {{"A", 'C', 5, 0}, {"a", 'N', 3, 0}}, {}, {}); },
                      {"MALA", "repetido"});
    expectEngineError([] { recreateTable("\\ZTEMP", "MALA", {{"A", 'X', 5, 0}}, {}, {}); }, {"MALA"});
    expectEngineError([] { recreateTable("\\ZTEMP", "MALA", {{"A", 'C', 5, 0}}, {{"TAG", "B"}}, {}); },
                      {"MALA", "TAG", "B"});
    EXPECT_FALSE(fs::exists(ztemp / "MALA.DBF"));

    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Shared);
    fill(t, {{"A", 1}});
    expectEngineError([] { recreateTable("\\ZTEMP", "PRUEBA.DBF", kFields, {}, {"PRUEBA.DBF"}); },
                      {"PRUEBA", "en uso"});
    t.first();
    EXPECT_EQ(t.asText("CODIGO"), "A");  // nothing was deleted under the open table
}

TEST_F(TableTest, EngineErrorsNameTheTableAndTheCause)
{
    expectEngineError([] { Table("\\NOHAY", "PRUEBA").open(Access::Shared); },
                      {"No existe la carpeta \\NOHAY", "PRUEBA"});
    expectEngineError([] { Table("\\ZTEMP", "FALTA").open(Access::Shared); },
                      {"No existe la tabla FALTA", "\\ZTEMP"});
    expectEngineError([] { recreateTable("C:\\NOHAY", "T", {{"A", 'C', 1, 0}}, {}, {}); }, {"NOHAY", "T"});
    Table t("\\ZTEMP", "PRUEBA");
    expectEngineError([&] { t.first(); }, {"PRUEBA", "no est\xE1 abierta"});
    t.open(Access::Exclusive);
    expectEngineError([&] { t.asText("FALTA"); }, {"PRUEBA", "FALTA"});
    expectEngineError([&] { t.setIndex("ABREV"); }, {"PRUEBA", "ABREV"});
    expectEngineError([&] { t.findKey({std::string("X")}); }, {"PRUEBA"});
    expectEngineError([&] { t.deleteRecord(); }, {"PRUEBA"});
    t.close();
    t.setIndex("ABREV");  // a tag set before opening is checked when the table opens
    expectEngineError([&] { t.open(Access::Shared); }, {"PRUEBA", "ABREV"});
    EXPECT_FALSE(t.isOpen());
}

// A number field read through a field handle (which reads the usual digits in place) gives
// what the general reading by name gives, value or error, whatever the field holds.
TEST_F(TableTest, NumbersReadInPlaceAnswerAsTheGeneralReading)
{
    recreateTable("\\ZTEMP", "NUMEROS.DBF", {{"NUM", 'N', 20, 3}, {"FLT", 'F', 6, 2}}, {}, {"NUMEROS.DBF"});
    Table t("\\ZTEMP", "NUMEROS");
    t.open(Access::Exclusive);
    const std::vector<std::string> contents = {
        "12", "   12", "12   ", "12.0", "12.500", "12.5", "-3", "-0", "0.000", ".5", "5.", "-", ".", "",
        "1e3", "12 3", "+4", "1.2.3", "1,5", std::string("1\0", 2), "999999999999999", "-999999999999999",
        "9999999999999999", "2147483647", "2147483648", "-2147483649", "3000000000.0", "0.0000000000001",
        "123456789012.345", "00012", "-0.5", "2.5", "3.5"};
    std::string records;
    for (const std::string& c : contents) {
        std::string record(1 + 20 + 6, ' ');
        record.replace(1 + 20 - c.size(), c.size(), c);                   // right-aligned in NUM
        record.replace(1 + 20, std::min<std::size_t>(c.size(), 6), c.substr(0, 6));  // left-aligned in FLT
        records += record;
    }
    t.appendRecords(records);
    const auto outcome = [](const auto& read) -> std::string {
        try {
            const auto v = read();
            const double d = static_cast<double>(v);
            return std::to_string(v) + (std::signbit(d) ? " (-)" : "");
        } catch (const EngineError& e) {
            return std::string("error: ") + e.what();
        }
    };
    std::size_t read = 0;
    for (const char* name : {"NUM", "FLT"}) {
        const FieldRef ref = t.field(name);
        for (t.first(); !t.eof(); t.next()) {
            const std::string& c = contents[static_cast<std::size_t>(t.recNo() - 1)];
            const std::string byName = outcome([&] { return t.asFloat(name); });
            EXPECT_EQ(outcome([&] { return t.asFloat(ref); }), byName) << name << " [" << c << "]";
            EXPECT_EQ(outcome([&] { return t.asInteger(ref); }), outcome([&] { return t.asInteger(name); }))
                << name << " [" << c << "]";
            read += byName.rfind("error", 0) != 0;
        }
    }
    EXPECT_GT(read, contents.size());  // most read as numbers, the rest as errors
}
