// The dBASE table engine: work tables as ".DBF" files with an optional ".MDX" production index.
// Writes dBASE level 7; reads levels III, IV, 5 and 7. Texts are stored as the bytes given
// (Windows-1252). Errors are EngineError with a text that names the table and the cause.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace files {
class FileSystem;
}

namespace store {

// A field as created or as read from a table header.
//   'C' character (size in characters)        'I' integer (4 bytes)
//   'N' / 'F' number as text (size, decimals)  'O' floating point (8 bytes)
//   'L' logical                               read only: 'D' date, '+' autoincrement,
//                                              '@' timestamp, 'M' / 'B' / 'G' memo (not read)
struct FieldDef {
    std::string name;
    char type = 'C';
    int size = 0;      // bytes in the record; 0 takes the type's fixed size ('I' 4, 'O' 8, 'L' 1)
    int decimals = 0;
};

// One tag of the production index: a tag name and the one field it is on, ascending,
// duplicates allowed.
struct IndexDef {
    std::string tag;
    std::string field;
};

enum class Access { Shared, Exclusive };

// A value to compare with a field in locate and findKey.
using Value = std::variant<std::string, double, bool>;

// Deletes each of `deleteFirst` (file names inside `folder`, found without regard to case)
// where it exists, ignoring failure, then creates the empty table `name` with the fields in
// order and, when `indexes` is not empty, its production index with one tag per entry.
// `folder` is given as the conversion code writes it ("\ZTEMP", "C:\ZTEMP"; see paths.h).
// The table is built aside and put in place whole (see NewTable): a failure leaves none.
void recreateTable(const std::string& folder, const std::string& name,
                   const std::vector<FieldDef>& fields, const std::vector<IndexDef>& indexes,
                   const std::vector<std::string>& deleteFirst);

// A field of an open table found once by name, for loops that read or fill it record after
// record without looking the name up each time. It belongs to the table and the field layout it
// was taken from: used on another table, or after the table was opened again, it is an engine
// error, never another field's bytes.
class FieldRef {
public:
    FieldRef() = default;
    const std::string& name() const { return name_; }

private:
    friend class Table;
    std::string name_;
    int index_ = -1;
    std::uint64_t layout_ = 0;  // the layout it was taken from; 0 for none
};

// An open table and its cursor. Addressed by folder and file name ("GRUPOST.DBF") or bare name
// ("PROFT"); both are found without regard to letter case.
//
// Navigation follows the current order: record order, or the active tag's order. Records marked
// deleted are skipped. A post writes the record, the header's record count and the index, so the
// files are a valid table after it; while nobody else can read the table (an exclusive open, or
// the only open of it in a work folder this process holds) posts are gathered and written in
// large pieces, each leaving a valid table, and at the close.
class Table {
public:
    Table(std::string folder, std::string name);
    ~Table();  // closes; a pending append or edit is posted
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    void open(Access access);
    void close();  // posts a pending append or edit, then releases the files and the lock
    bool isOpen() const;
    const std::string& name() const;  // the name as given, for messages

    const std::vector<FieldDef>& fields() const;
    int fieldIndex(std::string_view fieldName) const;  // -1 when the table has no such field
    FieldRef field(std::string_view fieldName) const;  // a missing field is an engine error
    const FieldDef& fieldDef(const FieldRef& field) const;  // its name, type and size

    // Record state. append starts a new blank record, edit puts the current one into edit
    // mode; post writes it; cancel drops the changes. Moving away from a record being edited
    // or appended posts it first.
    void append();
    // Starts a new record holding the current record's values (a blank one when none is
    // current; an autoincrement field numbers it anew): runs of records that differ in a few
    // fields set only those.
    void appendCopy();
    void edit();
    void post();
    // Records made in memory, appended many at a time: for a builder that makes its rows from
    // what it holds. `records` holds whole records one after another, each as recordBytes()
    // gives one; each is appended as append and post would append it, at the same cost to the
    // file and with the same errors, without a call per record and per field. A failure stops
    // at the record it meets, the records before it appended. The last one becomes current.
    void appendRecords(std::string_view records);
    // appendRecords(records), then `records` emptied whether or not they all went in: a builder
    // that makes its records in runs never appends one twice.
    void appendRecordsAndClear(std::string& records);
    // The current record's bytes (the one being edited or appended, when there is one): the
    // start of records made in memory. Valid until the record or the cursor changes.
    std::string_view recordBytes() const;
    // Sets a field in a record made in memory (`record` holds its bytes) as setText sets it in
    // the record being edited.
    void setTextIn(char* record, const FieldRef& field, std::string_view value) const;
    // The same, answering the field's text as it will read back from the record, as
    // setTextView does: valid while the record's bytes stay where they are.
    std::string_view setTextInView(char* record, const FieldRef& field, std::string_view value) const;
    // Sets an integer field (or any number field) in such a record as setInteger sets it.
    void setIntegerIn(char* record, const FieldRef& field, long value) const;
    // Where a field's bytes start in such a record (fieldDef(field).size of them): a builder
    // that sets the same values in many records makes their bytes once and copies them.
    std::size_t fieldOffset(const FieldRef& field) const;
    void cancel();
    bool editingOrAppending() const;

    // Cursor. eof is true after next from the last record and on an empty table.
    void first();
    void last();
    void next();
    void prior();
    bool eof() const;
    bool bof() const;
    long recordCount() const;  // records in the file, deleted ones included
    long recNo() const;        // physical record number of the current record, from 1; 0 when none
    void goTo(long recNo);     // make a physical record current
    void deleteRecord();       // marks the current record deleted and moves to the next

    // Field access by name. Text reads drop trailing blanks; writes cut to the field size.
    // Integers read round half to even; an empty numeric field reads 0.
    std::string asText(std::string_view fieldName) const;
    void setText(std::string_view fieldName, std::string_view value);
    long asInteger(std::string_view fieldName) const;
    void setInteger(std::string_view fieldName, long value);
    double asFloat(std::string_view fieldName) const;
    void setFloat(std::string_view fieldName, double value);
    bool asBool(std::string_view fieldName) const;
    void setBool(std::string_view fieldName, bool value);
    void setBool(const FieldRef& field, bool value);
    bool isBlank(std::string_view fieldName) const;

    // The same through a field found once.
    std::string asText(const FieldRef& field) const;
    // A character or date field's text as asText reads it, without a copy: valid until the
    // record or the cursor changes. Another type of field is an engine error.
    std::string_view textView(const FieldRef& field) const;
    void setText(const FieldRef& field, std::string_view value);
    // setText, answering the field's text as textView will read it, without reading the field
    // again: for a character field that is the value cut to the field's size, up to a NUL,
    // without trailing blanks. Valid until the record or the cursor changes.
    std::string_view setTextView(const FieldRef& field, std::string_view value);
    long asInteger(const FieldRef& field) const;
    void setInteger(const FieldRef& field, long value);
    double asFloat(const FieldRef& field) const;
    void setFloat(const FieldRef& field, double value);

    // Makes the first record, in the current order, whose fields (names joined by ";") equal the
    // values current. Texts compare exactly with the field as read (trailing blanks dropped).
    bool locate(std::string_view fieldList, const std::vector<Value>& values);
    // locate(name, {std::string(value)}) on one field: for a locate per line of an input file,
    // which needs neither the list of values nor the field list read again.
    bool locate(const FieldRef& field, std::string_view value);

    // Active index: a tag of the production index, or "" for record order. A missing tag is an
    // engine error.
    void setIndex(const std::string& tag);
    const std::string& activeIndex() const;
    // Positions on the first record of the active tag whose key equals the values.
    bool findKey(const std::vector<Value>& values);

    class Impl;

private:
    friend class NewTable;  // opens the table it builds aside by its folder's path as found
    std::unique_ptr<Impl> impl_;
};

// A new table built away from its place and put there whole. Its files (the .DBF and, with
// indexes, the .MDX) are made in a private folder inside `folder`, so nobody finds them while
// they are filled; `commit` deletes `deleteFirst` as recreateTable does and puts them in place,
// the index first and the table last, so that a table that appears is complete. While the run
// holds the work folder, its .DBF is written over the spare of its name and the one it replaces
// kept as the next spare (store/spare_tables.h). Destroyed
// without a commit, or when a step fails, it removes what it built: the folder has the old
// table or the new one, never a part of one, and no table is ever written through a link.
// The names of those private folders begin so: ".nueva.<process>.<n>".
inline const std::string kAsideFolderPrefix = ".nueva.";

// Removes such a folder with the files in it (it holds one table's files, nothing deeper).
void removeAsideFolder(const std::string& aside);
void removeAsideFolder(const std::string& aside, files::FileSystem& fs);

class NewTable {
public:
    // Whether the table is written over the spare its name left (store/spare_tables.h), and the
    // table it replaces kept as the next one. recreateTable, which puts its empty table in place
    // at once, leaves spares alone.
    enum class Spares { Use, Leave };

    NewTable(const std::string& folder, const std::string& name, const std::vector<FieldDef>& fields,
             const std::vector<IndexDef>& indexes, const std::vector<std::string>& deleteFirst = {},
             Spares spares = Spares::Use);
    ~NewTable();
    NewTable(const NewTable&) = delete;
    NewTable& operator=(const NewTable&) = delete;

    // The new table, open exclusively, to fill before the commit.
    Table& table();
    void commit();
    // commit() for a builder whose table in place used to hold every record written before an
    // error: when closing the table fails (a full disk), it is put in place as its file stands,
    // valid as the engine leaves it, and the close's error is thrown after that.
    void commitAsWritten();
    // Whether a table in place by that name is held by an open (here or in another program),
    // so that the commit would fail with the engine's "in use" error.
    bool placeInUse() const;
    // Throws that error now, for a builder that would otherwise meet it only after its work.
    void checkPlaceFree() const;
    // Destroyed by an error before its commit, the table is put in place as written
    // (commitAsWritten, its own error ignored) instead of being dropped: for a builder whose
    // table used to be filled in place.
    void placeOnError() { placeOnError_ = true; }

private:
    void discard();

    std::string name_;
    std::string folder_;      // the table's folder, resolved
    std::string aside_;       // the private folder the files are built in
    std::string dbfName_;     // the files' names, the same aside and in place
    std::string mdxName_;     // "" when the table has no index
    std::vector<std::string> deleteFirst_;
    std::unique_ptr<Table> table_;
    bool committed_ = false;
    Spares spares_;
    bool overSpare_ = false;
    bool placeOnError_ = false;
    int uncaughtAtStart_ = std::uncaught_exceptions();  // the .DBF is a spare: its old bytes after the new end are cut at the commit
};

}  // namespace store
