#include "store/table.h"

#include "files/file_io.h"
#include "files/folders.h"
#include "files/process.h"
#include "store/dbf_format.h"
#include "store/engine_texts.h"
#include "store/errors.h"
#include "store/field_codec.h"
#include "store/later_removal.h"
#include "store/mdx.h"
#include "store/paths.h"
#include "store/record_index.h"
#include "store/record_store.h"
#include "store/spare_tables.h"
#include "store/table_lock.h"
#include "store/update_streak.h"
#include "store/work_lock.h"
#include "store/write_behind.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <strings.h>
#include <unordered_map>

namespace store {

namespace {

// What other opens may do while an open lasts: an exclusive open lets nobody in, a shared one
// lets others read and write under the engine's locks.
files::Sharing sharingFor(Access access)
{
    return access == Access::Exclusive ? files::Sharing::None : files::Sharing::ReadWrite;
}

std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string trimBlanks(const std::string& s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The file name of a table given by file name or bare name ("PROFT" is "PROFT.DBF").
std::string dbfFileName(const std::string& name)
{
    return name.find('.') == std::string::npos ? name + ".DBF" : name;
}

// The production index beside a table file: the same name with ".MDX", in capitals when the
// table's name has no small letters (as other engines look for it), else ".mdx".
std::string mdxFileName(const std::string& dbfName)
{
    const auto dot = dbfName.rfind('.');
    const std::string base = dot == std::string::npos ? dbfName : dbfName.substr(0, dot);
    const bool hasLower = std::any_of(dbfName.begin(), dbfName.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    return base + (hasLower ? ".mdx" : ".MDX");
}

// Days from 0001-01-01 for a proleptic Gregorian date.
long daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 306;
}

// Hashes for lookups by std::string_view in maps keyed by std::string.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

char keyTypeFor(char fieldType)
{
    switch (fieldType) {
    case 'C': return 'C';
    case 'D': return 'D';
    case 'N':
    case 'F':
    case 'I':
    case '+':
    case 'O': return 'N';
    default: return 0;
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The open table: its file, the records in memory, the cursor and the record being edited.

class Table::Impl {
public:
    Impl(std::string folder, std::string name) : folderGiven_(std::move(folder)), name_(std::move(name)) {}

    std::string folderGiven_;
    bool folderFound_ = false;  // folderGiven_ is a path as resolveFolder gives it, not to resolve again
    std::string name_;
    std::string activeTag_;

    bool isOpen_ = false;
    std::uint64_t layoutId_ = 0;  // this opening's, for field handles; 0 while closed
    Access access_ = Access::Shared;
    std::string folder_;
    std::string path_;
    std::unique_ptr<WriteBehind> file_;
    dbf::Layout layout_;
    std::vector<FieldDef> defs_;
    mutable RecordStore records_;  // recordCount records, read from the file as needed
    std::string blank_;
    bool autoIncrements_ = false;  // a level 7 table with an autoincrement field
    files::FileStatus known_;     // the file as last read or written (shared opens watch it)
    bool wrote_ = false;   // this open has written to the file

    enum class State { Browse, Edit, Append };
    State state_ = State::Browse;
    std::string buffer_;        // the record being edited or appended
    // The record last appended while gathering (nobody else can change it), still in buffer_,
    // so that appendCopy starts from it without reading it back; 0 when buffer_ holds no such
    // record.
    std::uint32_t lastAppendedNo_ = 0;
    std::uint32_t current_ = 0; // physical record number, 0 for none
    std::uint32_t beforeAppend_ = 0;
    bool eof_ = true;
    bool bof_ = true;

    struct Tag {
        MdxTag info;
        int field = -1;  // -1: an expression this engine does not keep
    };
    std::string mdxPath_;
    std::unique_ptr<MdxIndex> mdx_;
    std::vector<Tag> tags_;
    int activeTagNo_ = -1;
    bool orderValid_ = false;
    std::vector<std::uint32_t> order_;
    std::vector<std::int64_t> positionOf_;  // by record number; -1 when not in the order

    std::unordered_map<std::string, int, NameHash, std::equal_to<>> fieldsByName_;  // by name in capitals
    mutable int fieldCache_[128] = {};  // field numbers by the address of a name asked for; -1 empty

    // A locate's index by its field list as normalised (capitals, ";" after each), and the
    // normalised list of each field list text a caller gave, so a repeated locate parses nothing.
    std::map<std::string, RecordIndex> locateIndexes_;
    std::unordered_map<std::string, RecordIndex*, NameHash, std::equal_to<>> locateByText_;
    std::vector<RecordIndex*> locateByField_;  // a one-field locate's index by field number, once known
    std::map<int, RecordIndex> keyIndexes_;

    // A shared open's hold on the update lock across a run of posts and locates.
    UpdateStreak streak_{[this] { noteOwnWrites(); }};
    std::uint64_t expectedSize_ = 0;  // the file's size as this open's writes leave it
    unsigned long lockGeneration_ = 0;  // workLockGeneration() when gathering was last decided
    std::uint32_t flushedCount_ = 0;    // the records the file held when last read or flushed
    unsigned long aloneLocks_ = 0, aloneOpens_ = 0;  // the generations alone_ was decided at
    bool alone_ = false;

    // --- helpers ---------------------------------------------------------------------------

    [[noreturn]] void fail(const std::string& text) const { throw EngineError(text); }

    void ensureOpen() const
    {
        if (!isOpen_)
            fail(texts::notOpen(name_));
    }

    std::uint32_t count() const { return layout_.recordCount; }

    const unsigned char* record(std::uint32_t recNo) const
    {
        if (const unsigned char* r = records_.at(recNo))
            return r;
        failedRead();
    }

    // The records could not be read: the file failed, or ended before them.
    [[noreturn]] void failedRead() const
    {
        if (records_.error() > 0)
            fail(texts::readFailed(name_, records_.error()));
        fail(texts::damaged(name_, "faltan registros al final del archivo"));
    }

    bool deleted(std::uint32_t recNo) const { return record(recNo)[0] == dbf::kDeleted; }

    // The bytes that field reads see: the record being edited, the current one, or a blank one.
    const unsigned char* visible() const
    {
        if (state_ != State::Browse)
            return reinterpret_cast<const unsigned char*>(buffer_.data());
        if (current_ != 0)
            return record(current_);
        return reinterpret_cast<const unsigned char*>(blank_.data());
    }

    // Field names are looked up at every field access, so by a hash of their capitals.
    void indexFieldNames()
    {
        std::fill(std::begin(fieldCache_), std::end(fieldCache_), -1);
        fieldsByName_.clear();
        for (std::size_t i = 0; i < layout_.fields.size(); ++i)
            fieldsByName_.emplace(upper(layout_.fields[i].def.name), static_cast<int>(i));  // the first of a name wins
    }

    int fieldIndex(std::string_view fieldName) const
    {
        // Most calls name a field with the same literal again and again: a small cache by the
        // text's address, each hit checked against the name itself.
        const std::uint64_t mixed =
            (static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(fieldName.data())) + fieldName.size()) *
            0x9E3779B97F4A7C15ull;
        // Two places per address, so that two names that fall on one place do not keep
        // putting each other out.
        const std::size_t slot = static_cast<std::size_t>(mixed >> 57) & ~std::size_t(1);  // 128 places
        for (std::size_t s = slot; s < slot + 2; ++s) {
            const int cached = fieldCache_[s];
            if (cached >= 0 && static_cast<std::size_t>(cached) < layout_.fields.size() &&
                sameName(layout_.fields[static_cast<std::size_t>(cached)].def.name, fieldName))
                return cached;
        }
        const int found = lookUpField(fieldName);
        if (found >= 0) {
            fieldCache_[slot + 1] = fieldCache_[slot];
            fieldCache_[slot] = found;
        }
        return found;
    }

    static bool sameName(const std::string& stored, std::string_view asked)
    {
        if (stored.size() != asked.size())
            return false;
        if (std::memcmp(stored.data(), asked.data(), asked.size()) == 0)
            return true;
        for (std::size_t i = 0; i < asked.size(); ++i) {
            const char a = stored[i], b = asked[i];
            if (a != b && (a | 0x20) != (b | 0x20))
                return false;
            if (a != b && !((a | 0x20) >= 'a' && (a | 0x20) <= 'z'))
                return false;
        }
        return true;
    }

    int lookUpField(std::string_view fieldName) const
    {
        char folded[64] = {};
        if (fieldName.size() > sizeof folded)
            return -1;  // no field has so long a name
        for (std::size_t i = 0; i < fieldName.size(); ++i) {
            const char c = fieldName[i];
            folded[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
        const auto it = fieldsByName_.find(std::string_view(folded, fieldName.size()));
        return it == fieldsByName_.end() ? -1 : it->second;
    }

    const dbf::Field& field(std::string_view fieldName) const
    {
        ensureOpen();
        const int i = fieldIndex(fieldName);
        if (i < 0)
            fail(texts::fieldMissing(name_, std::string(fieldName)));
        return layout_.fields[static_cast<std::size_t>(i)];
    }

    FieldRef handle(std::string_view fieldName) const
    {
        const dbf::Field& f = field(fieldName);
        FieldRef ref;
        ref.name_ = f.def.name;
        ref.index_ = static_cast<int>(&f - layout_.fields.data());
        ref.layout_ = layoutId_;
        return ref;
    }

    const dbf::Field& field(const FieldRef& ref) const
    {
        if (!isOpen_ || ref.layout_ != layoutId_ || ref.index_ < 0 ||
            static_cast<std::size_t>(ref.index_) >= layout_.fields.size())
            failField(ref);
        return layout_.fields[static_cast<std::size_t>(ref.index_)];
    }

    // Out of line, so that field() is small enough to be inline where fields are set by the
    // hundred thousand.
    [[noreturn, gnu::noinline, gnu::cold]] void failField(const FieldRef& ref) const
    {
        ensureOpen();
        fail(texts::fieldOfOtherOpening(name_, ref.name_));
    }

    unsigned char* editable()
    {
        if (state_ == State::Browse)
            fail(texts::notEditing(name_));
        return reinterpret_cast<unsigned char*>(buffer_.data());
    }

    template <typename F>
    auto withField(const dbf::Field& f, F&& action) const -> decltype(action())
    {
        try {
            return action();
        } catch (const codec::ValueError& e) {
            throw EngineError(texts::fieldValue(name_, f.def.name, e.what()));
        }
    }

    void readExact(std::uint64_t offset, void* data, std::size_t size, bool& cut)
    {
        std::size_t got = 0;
        if (const int rc = file_->readAt(offset, data, size, got))
            fail(texts::readFailed(name_, rc));
        cut = got < size;
    }

    void write(std::uint64_t offset, const void* data, std::size_t size)
    {
        if (!file_->writable())
            fail(texts::readOnly(name_));
        wrote_ = true;
        if (const int rc = file_->writeAt(offset, data, size))
            fail(texts::writeFailed(name_, rc));
    }

    // --- opening and reading ---------------------------------------------------------------

    // Reads the header and every record into memory.
    void load()
    {
        files::FileStatus status;
        if (const int rc = file_->status(status))
            fail(texts::readFailed(name_, rc));
        try {
            unsigned char base[dbf::kBaseHeaderSize];
            bool cut = false;
            readExact(0, base, sizeof base, cut);
            const std::size_t got = cut ? std::min<std::uint64_t>(status.size, sizeof base) : sizeof base;
            const std::uint32_t length = dbf::headerLength(base, got, status.size);
            std::vector<unsigned char> header(length);
            readExact(0, header.data(), length, cut);
            if (cut)
                throw dbf::BadHeader("la cabecera est\xE1 incompleta");
            layout_ = dbf::parseHeader(header.data(), header.size(), status.size);
            // The header's counts fit the file: the records are read when asked for.
            records_.reset(file_.get(), layout_.headerLength, layout_.recordLength, layout_.recordCount);
        } catch (const dbf::BadHeader& e) {
            fail(e.unsupported() ? texts::unsupported(name_, e.what()) : texts::damaged(name_, e.what()));
        }
        known_ = status;
        lastAppendedNo_ = 0;
        flushedCount_ = layout_.recordCount;
        defs_.clear();
        for (const dbf::Field& f : layout_.fields)
            defs_.push_back(f.def);
        indexFieldNames();
        blank_ = codec::blankRecord(layout_);
        autoIncrements_ = layout_.level == 7 && std::any_of(layout_.fields.begin(), layout_.fields.end(),
                                                            [](const dbf::Field& f) { return f.def.type == '+'; });
        locateByText_.clear();
        locateByField_.clear();
        locateIndexes_.clear();
        keyIndexes_.clear();
        orderValid_ = false;
    }

    void openIndex()
    {
        for (bool again = access_ == Access::Shared;; again = false) {
            loadIndex();
            const std::string misfit = indexMisfit();
            if (misfit.empty())
                return;
            mdx_.reset();
            tags_.clear();
            // Another open may have written the table between our reading it and its index:
            // then both are read again, once.
            files::FileStatus status;
            if (again && file_->status(status) == 0 &&
                (status.size != known_.size || status.modifiedNs != known_.modifiedNs)) {
                load();
                continue;
            }
            fail(texts::damagedIndex(name_, misfit));
        }
    }

    void loadIndex()
    {
        mdx_.reset();
        tags_.clear();
        if (!layout_.productionIndex)
            return;
        const std::string path = files::pathInFolder(folder_, mdxFileName(files::fileName(path_)));
        if (!files::fileExists(path))
            return;  // the flag without the file: the table is used without its index
        mdxPath_ = path;
        // The order of character keys follows the table's language when the index names none.
        const int language = layout_.level == 7 ? mdxLanguageId(layout_.languageDriver) : layout_.languageId;
        mdx_ = MdxIndex::open(mdxPath_, file_->writable(), name_, language, sharingFor(access_));
        for (const MdxTag& info : mdx_->tags())
            tags_.push_back({info, fieldIndex(info.field)});
    }

    // Why the index does not fit the table, or "" when it does. A tag on a field has keys of the
    // field's type and size and one key for each record (fewer only when the tag is unique or
    // has a condition), each naming a record of the table; anything else would find some
    // records and miss others.
    std::string indexMisfit() const
    {
        for (std::size_t t = 0; t < tags_.size(); ++t) {
            const Tag& tag = tags_[t];
            if (tag.field < 0)
                continue;  // an expression this engine does not keep
            const FieldDef& f = layout_.fields[static_cast<std::size_t>(tag.field)].def;
            const std::string what = "la etiqueta " + tag.info.name;
            if (keyTypeFor(f.type) != tag.info.keyType)
                return what + " tiene claves de tipo " + std::string(1, tag.info.keyType) + " y el campo " + f.name +
                       " es de tipo " + std::string(1, f.type);
            if (tag.info.keyType == 'C' && tag.info.keyLength != f.size)
                return what + " tiene claves de " + std::to_string(tag.info.keyLength) + " caracteres y el campo " +
                       f.name + " tiene " + std::to_string(f.size);
            const MdxKeyCount keys = mdx_->keyCount(static_cast<int>(t));
            if (keys.greatestRecord > count())
                return what + " nombra el registro " + std::to_string(keys.greatestRecord) + ", que no existe";
            if (keys.keys > count() || (keys.keys < count() && !tag.info.unique && !tag.info.filtered))
                return what + " tiene " + std::to_string(keys.keys) + " claves y la tabla " +
                       std::to_string(count()) + " registros";
        }
        return {};
    }

    int tagNumber(const std::string& tag) const
    {
        for (std::size_t i = 0; i < tags_.size(); ++i)
            if (::strcasecmp(tags_[i].info.name.c_str(), tag.c_str()) == 0)
                return static_cast<int>(i);
        return -1;
    }

    void open(Access access)
    {
        if (isOpen_) {
            if (access == access_)
                return;
            close();
        }
        folder_ = folderFound_ ? folderGiven_ : resolveFolder(folderGiven_);
        if (!files::folderExists(folder_))
            fail(texts::folderMissing(name_, texts::folderShown(folderGiven_, folder_)));
        path_ = files::pathInFolder(folder_, dbfFileName(name_));
        if (!files::fileExists(path_))
            fail(texts::tableMissing(name_, texts::folderShown(folderGiven_, folder_)));
        std::unique_ptr<files::File> file;
        if (const int rc = files::fileSystem().open(path_, files::OpenMode::ReadWrite, sharingFor(access), file))
            fail(rc == EBUSY ? texts::inUse(name_) : texts::readFailed(name_, rc));
        if (lockForOpen(*file, access) == LockResult::InUse)
            fail(texts::inUse(name_));
        file_ = std::make_unique<WriteBehind>(std::move(file));
        access_ = access;
        lockGeneration_ = 0;  // gathering is decided at the first post
        try {
            load();
            if (access == Access::Shared)
                joinSharedOpens();
            openIndex();
            activeTagNo_ = -1;
            if (!activeTag_.empty()) {
                activeTagNo_ = tagNumber(activeTag_);
                if (activeTagNo_ < 0)
                    fail(texts::tagMissing(name_, activeTag_));
            }
        } catch (...) {
            release();
            throw;
        }
        isOpen_ = true;
        static std::atomic<std::uint64_t> openings{0};
        layoutId_ = ++openings;  // fields found before this opening (or in another table) do not fit
        state_ = State::Browse;
        current_ = 0;
        first();
    }

    void release()
    {
        leaveSharedOpens();
        streak_.end();
        mdx_.reset();
        tags_.clear();
        file_.reset();
        wrote_ = false;
        records_.reset(nullptr, 0, 1, 0);
        locateByText_.clear();
        locateByField_.clear();
        locateIndexes_.clear();
        keyIndexes_.clear();
        order_.clear();
        positionOf_.clear();
        orderValid_ = false;
        state_ = State::Browse;
        current_ = 0;
        eof_ = bof_ = true;
        isOpen_ = false;
        layoutId_ = 0;
    }

    void close()
    {
        if (!isOpen_)
            return;
        std::exception_ptr failure;
        try {
            postPending();
            flushWrites();
            if (wrote_)
                checkNotCut();
        } catch (...) {
            failure = std::current_exception();
        }
        release();
        if (failure)
            std::rethrow_exception(failure);
    }

    // A shared table may have been changed by another open: read it again when its size or
    // modification time moved since we last read or wrote it. A locate within a live run of
    // posts (`withinStreak`) needs no look: no other open of this engine can have written.
    void refresh(bool withinStreak = false)
    {
        if (access_ == Access::Exclusive || file_->gathering() || aloneInHeldFolder())
            return;  // nobody else writes it
        if (withinStreak && streak_.live())
            return;
        streak_.end();
        reloadIfChanged();
    }

    void reloadIfChanged()
    {
        files::FileStatus status;
        if (file_->status(status) != 0)
            return;
        if (status.size == known_.size && status.modifiedNs == known_.modifiedNs)
            return;
        const std::uint32_t current = current_;
        const std::vector<FieldDef> before = defs_;
        const std::uint32_t recordLength = layout_.recordLength;
        load();  // a failure leaves what was read before in place
        const bool sameFields = std::equal(before.begin(), before.end(), defs_.begin(), defs_.end(),
                                           [](const FieldDef& a, const FieldDef& b) {
                                               return a.name == b.name && a.type == b.type && a.size == b.size;
                                           });
        if (!sameFields || recordLength != layout_.recordLength) {
            // Another program rebuilt the table under us: what we hold no longer fits it.
            release();
            fail(texts::restructured(name_));
        }
        openIndex();
        activeTagNo_ = activeTag_.empty() ? -1 : tagNumber(activeTag_);
        if (current > count())
            current_ = 0;
    }

    // At the end of a run of posts: the file as our writes left it, so that the next look does
    // not take them for another open's. A file of another size than ours made has been written
    // by someone else as well; it stays unnoted and is read again at the next look.
    void noteOwnWrites()
    {
        files::FileStatus status;
        if (access_ == Access::Shared && file_ && file_->status(status) == 0 && status.size == expectedSize_)
            known_ = status;
    }

    // A shared open writes under the update lock, which it keeps for a run of posts; when it
    // takes the lock it first reads what other opens wrote.
    void beginWrite()
    {
        if (access_ != Access::Shared)
            return;
        switch (streak_.take(*file_, known_)) {
        case UpdateStreak::Take::Live:
            return;
        case UpdateStreak::Take::InUse:
            fail(texts::inUse(name_));
        case UpdateStreak::Take::Started:
            reloadIfChanged();
            expectedSize_ = known_.size;
        }
    }

    // --- order -----------------------------------------------------------------------------

    void ensureOrder()
    {
        if (activeTagNo_ < 0 || orderValid_)
            return;
        order_ = mdx_->order(activeTagNo_);
        positionOf_.assign(std::size_t(count()) + 1, -1);
        for (std::size_t i = 0; i < order_.size(); ++i) {
            const std::uint32_t r = order_[i];
            if (r == 0 || r > count())
                fail(texts::damagedIndex(name_, "la etiqueta " + tags_[activeTagNo_].info.name +
                                                    " nombra el registro " + std::to_string(r) +
                                                    ", que no existe"));
            positionOf_[r] = static_cast<std::int64_t>(i);
        }
        orderValid_ = true;
    }

    std::int64_t orderSize()
    {
        ensureOrder();
        return activeTagNo_ < 0 ? count() : static_cast<std::int64_t>(order_.size());
    }

    std::uint32_t at(std::int64_t position) const
    {
        return activeTagNo_ < 0 ? static_cast<std::uint32_t>(position + 1) : order_[static_cast<std::size_t>(position)];
    }

    std::int64_t positionOf(std::uint32_t recNo)
    {
        ensureOrder();
        if (activeTagNo_ < 0)
            return static_cast<std::int64_t>(recNo) - 1;
        return recNo < positionOf_.size() ? positionOf_[recNo] : -1;
    }

    // The first live record at or after `from` (step 1) or at or before it (step -1); 0 when none.
    std::uint32_t liveFrom(std::int64_t from, int step)
    {
        const std::int64_t size = orderSize();
        for (std::int64_t p = from; p >= 0 && p < size; p += step) {
            const std::uint32_t r = at(p);
            if (!deleted(r))
                return r;
        }
        return 0;
    }

    // --- navigation ------------------------------------------------------------------------

    void first()
    {
        ensureOpen();
        postPending();
        refresh();
        current_ = liveFrom(0, 1);
        eof_ = bof_ = current_ == 0;
    }

    void last()
    {
        ensureOpen();
        postPending();
        refresh();
        current_ = liveFrom(orderSize() - 1, -1);
        eof_ = bof_ = current_ == 0;
    }

    void step(int direction)
    {
        ensureOpen();
        postPending();
        bool& edge = direction > 0 ? eof_ : bof_;
        if (current_ == 0) {
            edge = true;
            return;
        }
        std::int64_t p = positionOf(current_);
        const std::uint32_t r = p < 0 ? (direction > 0 ? liveFrom(0, 1) : 0) : liveFrom(p + direction, direction);
        if (r == 0) {
            edge = true;
            return;
        }
        current_ = r;
        eof_ = bof_ = false;
    }

    void goTo(long recNo)
    {
        ensureOpen();
        postPending();
        refresh();
        if (recNo < 1 || recNo > static_cast<long>(count()))
            fail(texts::noSuchRecord(name_, recNo));
        current_ = static_cast<std::uint32_t>(recNo);
        eof_ = bof_ = false;
    }

    // --- editing ---------------------------------------------------------------------------

    void append()
    {
        ensureOpen();
        postPending();
        beforeAppend_ = current_;
        buffer_ = blank_;
        lastAppendedNo_ = 0;
        state_ = State::Append;
    }

    void appendCopy()
    {
        ensureOpen();
        postPending();
        const std::uint32_t from = current_;
        beforeAppend_ = current_;
        if (from == 0) {
            buffer_ = blank_;
        } else if (keepsAppended(from)) {
            // buffer_ still holds it
        } else {
            buffer_.assign(reinterpret_cast<const char*>(record(from)), layout_.recordLength);
        }
        buffer_[0] = blank_[0];  // not deleted
        if (autoIncrements_)  // a new record numbers itself
            for (const dbf::Field& f : layout_.fields)
                if (f.def.type == '+')
                    std::memcpy(buffer_.data() + f.offset, blank_.data() + f.offset, f.def.size);
        lastAppendedNo_ = 0;
        state_ = State::Append;
    }

    void edit()
    {
        ensureOpen();
        if (state_ != State::Browse)
            return;
        if (current_ == 0) {  // nothing to edit: as the classic engines do, a new record
            append();
            return;
        }
        buffer_.assign(reinterpret_cast<const char*>(record(current_)), layout_.recordLength);
        lastAppendedNo_ = 0;
        state_ = State::Edit;
    }

    void cancel()
    {
        if (state_ == State::Append) {
            current_ = beforeAppend_ <= count() ? beforeAppend_ : 0;
            if (current_ == 0)
                eof_ = bof_ = true;
        }
        state_ = State::Browse;
        buffer_.clear();
        lastAppendedNo_ = 0;
    }

    void postPending()
    {
        if (state_ != State::Browse)
            post();
    }

    MdxKey keyOf(const Tag& tag, const unsigned char* rec) const
    {
        MdxKey key;
        const dbf::Field& f = layout_.fields[static_cast<std::size_t>(tag.field)];
        switch (tag.info.keyType) {
        case 'C': {
            const int length = tag.info.keyLength > 0 ? tag.info.keyLength : f.def.size;
            key.text.assign(reinterpret_cast<const char*>(rec + f.offset),
                            static_cast<std::size_t>(std::min(length, f.def.size)));
            key.text.resize(static_cast<std::size_t>(length), ' ');
            break;
        }
        case 'D': {
            const std::string_view t = codec::storedText(f, rec);
            if (t.size() == 8 && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                auto number = [&](std::size_t at, std::size_t n) {
                    int v = 0;
                    for (std::size_t i = at; i < at + n; ++i)
                        v = v * 10 + (t[i] - '0');
                    return v;
                };
                key.number = static_cast<double>(daysFromCivil(number(0, 4), number(4, 2), number(6, 2)) +
                                                 1721426);  // the Julian day number
            }
            break;
        }
        default:
            try {
                key.number = codec::readNumber(f, rec).value_or(0);
            } catch (const codec::ValueError&) {
                key.number = 0;
            }
        }
        return key;
    }

    void checkTagsKept() const
    {
        for (const Tag& tag : tags_)
            if (tag.field < 0)
                fail(texts::tagNotKept(name_, tag.info.name));
    }

    // Sets the next values of autoincrement fields that the new record leaves blank.
    void fillAutoIncrements(unsigned char* rec)
    {
        if (!autoIncrements_)
            return;
        for (const dbf::Field& f : layout_.fields) {
            if (f.def.type != '+' || !codec::isBlank(f, rec) || layout_.level != 7)
                continue;
            unsigned char stored[4];
            bool cut = false;
            readExact(f.descriptorOffset + dbf::kAutoIncrementInDescriptor, stored, 4, cut);
            if (cut)
                failCut();
            std::uint32_t next = stored[0] | stored[1] << 8 | stored[2] << 16 | std::uint32_t(stored[3]) << 24;
            if (next == 0)
                next = 1;
            codec::writeInteger(f, rec, static_cast<long>(next));
            const std::uint32_t after = next + 1;
            const unsigned char bytes[4] = {static_cast<unsigned char>(after), static_cast<unsigned char>(after >> 8),
                                            static_cast<unsigned char>(after >> 16),
                                            static_cast<unsigned char>(after >> 24)};
            write(f.descriptorOffset + dbf::kAutoIncrementInDescriptor, bytes, 4);
        }
    }

    // Bytes 1 to 7 of the header: the date of this update and, when `recordCount` is given
    // (an append), the new record count. Edits leave the count alone, so a shared open never
    // writes back a count that another open has moved on. A gathered append leaves both with
    // the pending writes, which put them into the header when they write it.
    void writeHeaderDate(std::optional<std::uint32_t> recordCount = std::nullopt)
    {
        if (recordCount && file_->gathering()) {
            file_->appendsDue(*recordCount);
            return;
        }
        unsigned char bytes[7];
        dbf::encodeDateAndCount(bytes, dbf::today(), recordCount.value_or(0));
        write(1, bytes, recordCount ? 7 : 3);
    }

    [[noreturn]] void failCut() const
    {
        fail(texts::damaged(name_, "otro programa ha acortado el archivo mientras estaba abierta"));
    }

    // Another program may cut the file under an open (no lock stops it): a write past its new
    // end would leave a hole of zeros where the header and records were, and report success.
    // So before each write, and at closing after writing, the file must still hold every record.
    void checkNotCut()
    {
        files::FileStatus status;
        if (const int rc = file_->status(status))
            fail(texts::readFailed(name_, rc));
        if (status.size < recordOffset(count() + 1))
            failCut();
    }

    // --- gathered writes ---------------------------------------------------------------------
    //
    // A table nobody else can read while it is open (an exclusive open, or a shared one in a work
    // folder this process holds, and the only open of its file here) has its posts gathered in
    // memory and written in pieces of kGatherBytes, at close and whenever another open of the
    // same file in this process comes: the records, then the header's count, then the index.
    static constexpr std::size_t kGatherBytes = 512 * 1024;

    bool mayGather()
    {
        if (!file_->writable())
            return false;
        if (access_ == Access::Exclusive)
            return true;
        return workFolderHeld(folder_) && !otherSharedOpen();
    }

    // Before a post writes: gathering as the work lock now allows, and the file checked for cuts
    // when the post goes straight to it (a gathered post is checked when it is flushed).
    void checkBeforeWrite()
    {
        if (lockGeneration_ != workLockGeneration()) {
            lockGeneration_ = workLockGeneration();
            setGathering(mayGather());
        }
        if (!file_->gathering())
            checkNotCut();
    }

    void setGathering(bool on)
    {
        if (on == file_->gathering())
            return;
        lastAppendedNo_ = 0;
        if (!on)
            flushWrites();
        // A run is flushed once it holds kGatherBytes: with the record that reaches them, and
        // the end mark, it never needs more room than this.
        file_->gather(on, kGatherBytes + layout_.recordLength + 1);
    }

    void flushWrites()
    {
        if (file_->pending() > 0) {
            files::FileStatus status;
            if (const int rc = file_->status(status))
                fail(texts::readFailed(name_, rc));
            if (status.size < recordOffset(flushedCount_ + 1))
                failCut();
            if (const int rc = file_->flush())
                fail(texts::writeFailed(name_, rc));
            flushedCount_ = count();
            noteOwnWrites();
        }
        if (mdx_)
            mdx_->flush();
    }

    // The shared opens of this process, so that a second open of a file ends the first one's
    // gathering before it reads the file.
    static std::mutex& sharedOpensMutex()
    {
        static std::mutex m;
        return m;
    }
    static std::vector<Impl*>& sharedOpens()
    {
        static std::vector<Impl*> opens;
        return opens;
    }
    // Changes whenever a shared open comes or goes.
    static std::atomic<unsigned long>& sharedOpensGeneration()
    {
        static std::atomic<unsigned long> generation{1};
        return generation;
    }

    // A shared open that nobody else can write under: the only open of its file in this process,
    // in a work folder the process holds. Asked at every move and search, so kept until the
    // work locks or the shared opens change.
    bool aloneInHeldFolder()
    {
        const unsigned long locks = workLockGeneration(), opens = sharedOpensGeneration().load();
        if (locks != aloneLocks_ || opens != aloneOpens_) {
            aloneLocks_ = locks;
            aloneOpens_ = opens;
            alone_ = workFolderHeld(folder_) && !otherSharedOpen();
        }
        return alone_;
    }

    bool sameFile(const Impl& other) const
    {
        return other.known_.device == known_.device && other.known_.inode == known_.inode;
    }

    bool otherSharedOpen() const
    {
        std::lock_guard<std::mutex> guard(sharedOpensMutex());
        for (const Impl* other : sharedOpens())
            if (other != this && sameFile(*other))
                return true;
        return false;
    }

    void joinSharedOpens()
    {
        std::vector<Impl*> others;
        {
            std::lock_guard<std::mutex> guard(sharedOpensMutex());
            for (Impl* other : sharedOpens())
                if (other != this && sameFile(*other))
                    others.push_back(other);
            sharedOpens().push_back(this);
            ++sharedOpensGeneration();
        }
        for (Impl* other : others)
            other->setGathering(false);
        if (!others.empty())
            load();  // read again what they had gathered
    }

    void leaveSharedOpens()
    {
        std::lock_guard<std::mutex> guard(sharedOpensMutex());
        auto& opens = sharedOpens();
        opens.erase(std::remove(opens.begin(), opens.end(), this), opens.end());
        ++sharedOpensGeneration();
    }

    std::uint64_t recordOffset(std::uint32_t recNo) const
    {
        return layout_.headerLength + std::uint64_t(recNo - 1) * layout_.recordLength;
    }

    void post()
    {
        ensureOpen();
        if (state_ == State::Browse)
            return;
        if (!file_->writable())
            fail(texts::readOnly(name_));
        if (mdx_)
            checkTagsKept();
        beginWrite();
        checkBeforeWrite();
        if (state_ == State::Append)
            postAppend();
        else
            postEdit();
        if (file_->gathering() && file_->pending() >= kGatherBytes)
            flushWrites();
    }

    void postAppend()
    {
        auto* rec = reinterpret_cast<unsigned char*>(buffer_.data());
        fillAutoIncrements(rec);
        appendBytes(rec);
        lastAppendedNo_ = file_->gathering() ? count() : 0;  // buffer_ keeps the record for appendCopy
    }

    // Records made in memory: each the way post appends one, what post asks of the file and of
    // the update lock asked once for them all while the writes are gathered. A table with an
    // autoincrement field, or whose writes reach the file at once, takes them one post each.
    void appendRecords(std::string_view records)
    {
        ensureOpen();
        const std::size_t length = layout_.recordLength;
        if (records.size() % length != 0)
            fail(texts::notWholeRecords(name_, length));
        if (records.empty())
            return;
        postPending();
        if (!file_->writable())
            fail(texts::readOnly(name_));
        if (mdx_)
            checkTagsKept();
        beginWrite();
        checkBeforeWrite();
        if (autoIncrements_ || !file_->gathering()) {
            for (std::size_t at = 0; at < records.size(); at += length) {
                append();
                buffer_.assign(records.substr(at, length));
                post();
            }
            return;
        }
        lastAppendedNo_ = 0;
        const bool indexed = mdx_ || !locateIndexes_.empty() || !keyIndexes_.empty();
        const auto* bytes = reinterpret_cast<const unsigned char*>(records.data());
        for (std::size_t at = 0; at < records.size();) {
            appendBytes(bytes + at);
            at += length;
            // Each further record adds its length to the pending run: those up to the one that
            // fills it, as post would flush after it, go in one piece; when they fill it, they
            // are written with it from here instead of joining it first.
            if (!indexed && at < records.size() && file_->pending() < kGatherBytes) {
                const std::size_t filling = (kGatherBytes - file_->pending() + length - 1) / length;
                const std::size_t n = std::min(filling, (records.size() - at) / length);
                if (n == filling)
                    appendAndFlush(bytes + at, n);
                else
                    appendBytes(bytes + at, n);
                at += n * length;
            }
            if (file_->pending() >= kGatherBytes)
                flushWrites();
        }
        buffer_.assign(records.substr(records.size() - length));  // for appendCopy, as post keeps it
        lastAppendedNo_ = count();
    }

    // Whether buffer_ still holds record `recNo` as it was appended: the last one, while the
    // writes are gathered (post and appendRecords leave it there).
    bool keepsAppended(std::uint32_t recNo) const
    {
        return recNo != 0 && recNo == lastAppendedNo_ && file_->gathering();
    }

    // The current record's bytes without reading it again when it was the last one appended.
    const unsigned char* currentBytes() const
    {
        if (state_ == State::Browse && keepsAppended(current_))
            return reinterpret_cast<const unsigned char*>(buffer_.data());
        return visible();
    }

    // Appends `n` records, one after another at `recs`, whose autoincrement fields are filled,
    // with the checks of post made: their bytes and the new end in one write. More than one
    // only for a table without indexes (each record would be added to them).
    void appendBytes(const unsigned char* recs, std::size_t n = 1)
    {
        const std::size_t length = layout_.recordLength;
        const std::uint32_t first = count() + 1;
        const std::uint32_t last = first + static_cast<std::uint32_t>(n - 1);
        wrote_ = true;  // the caller found the file writable
        if (const int rc = file_->writeWithEnd(recordOffset(first), recs, n * length, dbf::kEndOfFile)) {
            // A full disk may have taken part of the records: the table ends where it ended.
            if (file_->truncate(recordOffset(first)) == 0) {
                const unsigned char end = dbf::kEndOfFile;
                file_->writeAt(recordOffset(first), &end, 1);
            }
            fail(texts::writeFailed(name_, rc));
        }
        writeHeaderDate(last);
        // The records are in the file: from here on they have been posted, whatever follows.
        noteAppended(recs, n);
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char* rec = recs + i * length;
            const std::uint32_t recNo = first + static_cast<std::uint32_t>(i);
            for (auto& [_, index] : locateIndexes_)
                index.add(recNo, rec);
            for (auto& [_, index] : keyIndexes_)
                index.add(recNo, rec);
            if (mdx_) {
                for (std::size_t t = 0; t < tags_.size(); ++t)
                    mdx_->insert(static_cast<int>(t), keyOf(tags_[t], rec), recNo);
                if (!file_->gathering())
                    mdx_->flush();
            }
        }
    }

    // The table's count, cursor and record store after `n` records at `recs` were appended.
    void noteAppended(const unsigned char* recs, std::size_t n)
    {
        const std::size_t length = layout_.recordLength;
        const std::uint32_t last = count() + static_cast<std::uint32_t>(n);
        expectedSize_ = std::max<std::uint64_t>(expectedSize_, recordOffset(last) + length + 1);
        for (std::size_t i = 0; i < n; ++i)
            records_.appended(recs + i * length);
        layout_.recordCount = last;
        state_ = State::Browse;
        current_ = last;
        eof_ = bof_ = false;
        orderValid_ = false;
    }

    // appendBytes(recs, n) and then flushWrites(), for records that fill the pending run: they
    // are written with the run from `recs`. Anything out of the ordinary (a file cut, records
    // that do not join the run) goes the ordinary way, which meets and reports it.
    void appendAndFlush(const unsigned char* recs, std::size_t n)
    {
        const std::size_t length = layout_.recordLength;
        const std::uint32_t first = count() + 1;
        const std::uint32_t last = first + static_cast<std::uint32_t>(n - 1);
        files::FileStatus status;
        if (file_->status(status) != 0 || status.size < recordOffset(flushedCount_ + 1) ||
            !file_->joinsRunEnd(recordOffset(first), n * length)) {
            appendBytes(recs, n);
            flushWrites();
            return;
        }
        wrote_ = true;
        const int rc = file_->flushWith(recordOffset(first), recs, n * length, dbf::kEndOfFile, last);
        // Written or pending, the records are the table's now, as after a post whose flush failed.
        noteAppended(recs, n);
        if (rc)
            fail(texts::writeFailed(name_, rc));
        flushedCount_ = count();
        noteOwnWrites();
    }

    void postEdit()
    {
        const std::uint32_t recNo = current_;
        lastAppendedNo_ = 0;
        const std::string before(reinterpret_cast<const char*>(record(recNo)), layout_.recordLength);
        if (before == buffer_) {
            state_ = State::Browse;
            buffer_.clear();
            return;
        }
        write(recordOffset(recNo), buffer_.data(), buffer_.size());
        writeHeaderDate();

        const auto* stored = reinterpret_cast<const unsigned char*>(buffer_.data());
        records_.rewritten(recNo, stored);
        state_ = State::Browse;
        const auto* old = reinterpret_cast<const unsigned char*>(before.data());
        for (auto& [_, index] : locateIndexes_)
            index.change(recNo, old, stored);
        for (auto& [_, index] : keyIndexes_)
            index.change(recNo, old, stored);
        if (mdx_) {
            bool changed = false;
            for (std::size_t t = 0; t < tags_.size(); ++t) {
                const MdxKey oldKey = keyOf(tags_[t], old);
                const MdxKey newKey = keyOf(tags_[t], stored);
                if (oldKey.text == newKey.text && oldKey.number == newKey.number)
                    continue;
                mdx_->erase(static_cast<int>(t), oldKey, recNo);
                mdx_->insert(static_cast<int>(t), newKey, recNo);
                changed = true;
            }
            if (changed) {
                orderValid_ = false;
                if (!file_->gathering())
                    mdx_->flush();
            }
        }
        buffer_.clear();
    }

    void deleteRecord()
    {
        ensureOpen();
        if (state_ == State::Append) {
            cancel();
            return;
        }
        state_ = State::Browse;
        buffer_.clear();
        if (current_ == 0)
            fail(texts::noCurrentRecord(name_));
        if (!file_->writable())
            fail(texts::readOnly(name_));
        beginWrite();
        if (current_ == 0 || current_ > count())
            fail(texts::noCurrentRecord(name_));
        checkBeforeWrite();
        const unsigned char flag = dbf::kDeleted;
        lastAppendedNo_ = 0;
        write(recordOffset(current_), &flag, 1);
        writeHeaderDate();
        records_.flagged(current_, dbf::kDeleted);
        const std::int64_t p = positionOf(current_);
        std::uint32_t r = p < 0 ? 0 : liveFrom(p + 1, 1);
        if (r != 0) {
            current_ = r;
            eof_ = bof_ = false;
            return;
        }
        r = p < 0 ? 0 : liveFrom(p - 1, -1);
        current_ = r;
        eof_ = true;
        bof_ = r == 0;
    }

    // --- searching -------------------------------------------------------------------------

    // The first live record among `candidates` (ascending record numbers) in the current order.
    std::uint32_t firstInOrder(std::span<const std::uint32_t> candidates)
    {
        if (activeTagNo_ < 0) {
            for (std::uint32_t r : candidates)
                if (!deleted(r))
                    return r;
            return 0;
        }
        ensureOrder();
        std::uint32_t best = 0;
        std::int64_t bestPosition = 0;
        for (std::uint32_t r : candidates) {
            if (deleted(r))
                continue;
            const std::int64_t p = positionOf_[r];
            if (p >= 0 && (best == 0 || p < bestPosition)) {
                best = r;
                bestPosition = p;
            }
        }
        return best;
    }

    // An index over every record; a record that cannot be read is an engine error.
    RecordIndex built(RecordIndex index)
    {
        if (!index.build(records_))
            failedRead();
        return index;
    }

    // The index of a field list ("A;B", blanks around names allowed), built on first use.
    RecordIndex& locateIndex(std::string_view fieldList)
    {
        if (const auto known = locateByText_.find(fieldList); known != locateByText_.end())
            return *known->second;
        std::vector<KeyPart> parts;
        std::string cacheKey;
        std::size_t start = 0;
        while (true) {
            const auto end = fieldList.find(';', start);
            const std::string name = trimBlanks(
                std::string(fieldList.substr(start, end == std::string_view::npos ? end : end - start)));
            const dbf::Field& f = field(name);
            if (codec::kindOf(f.def.type) == codec::Kind::Memo)
                fail(texts::fieldValue(name_, f.def.name, "un campo memo no se puede buscar"));
            parts.push_back({f, MatchRule::Value, 0});
            cacheKey += upper(f.def.name);
            cacheKey += ';';
            if (end == std::string_view::npos)
                break;
            start = end + 1;
        }
        auto it = locateIndexes_.find(cacheKey);
        if (it == locateIndexes_.end())
            it = locateIndexes_.emplace(cacheKey, built(RecordIndex(std::move(parts)))).first;
        locateByText_.emplace(std::string(fieldList), &it->second);
        return it->second;
    }

    bool locate(std::string_view fieldList, const std::vector<Value>& values)
    {
        ensureOpen();
        postPending();
        refresh(true);
        const RecordIndex& index = locateIndex(fieldList);
        if (index.width() != values.size())
            fail(texts::valueCount(name_, std::string(fieldList), values.size()));
        return locatedAt(firstInOrder(index.find(values)));
    }

    bool locate(const FieldRef& ref, std::string_view value)
    {
        ensureOpen();
        postPending();
        refresh(true);
        const dbf::Field& f = field(ref);
        const auto number = static_cast<std::size_t>(&f - layout_.fields.data());
        if (locateByField_.size() <= number)
            locateByField_.resize(layout_.fields.size(), nullptr);
        RecordIndex*& index = locateByField_[number];
        if (!index)
            index = &locateIndex(f.def.name);
        return locatedAt(firstInOrder(index->findText(value)));
    }

    // A locate's end: on the record found; false, with the cursor kept, when none was (0).
    bool locatedAt(std::uint32_t r)
    {
        if (r == 0)
            return false;
        current_ = r;
        eof_ = bof_ = false;
        return true;
    }

    void setIndex(const std::string& tag)
    {
        if (!isOpen_) {
            activeTag_ = tag;
            return;
        }
        postPending();
        refresh();
        if (tag.empty()) {
            activeTag_.clear();
            activeTagNo_ = -1;
            return;
        }
        const int number = tagNumber(tag);
        if (number < 0)
            fail(texts::tagMissing(name_, tag));
        activeTag_ = tag;
        activeTagNo_ = number;
        orderValid_ = false;
    }

    bool findKey(const std::vector<Value>& values)
    {
        ensureOpen();
        postPending();
        refresh();
        if (activeTagNo_ < 0)
            fail(texts::noActiveIndex(name_));
        const Tag& tag = tags_[static_cast<std::size_t>(activeTagNo_)];
        if (tag.field < 0)
            fail(texts::tagNotKept(name_, tag.info.name));
        if (values.size() != 1)
            fail(texts::valueCount(name_, tag.info.field, values.size()));
        auto it = keyIndexes_.find(activeTagNo_);
        if (it == keyIndexes_.end()) {
            const dbf::Field& f = layout_.fields[static_cast<std::size_t>(tag.field)];
            KeyPart part{f, tag.info.keyType == 'C' ? MatchRule::KeyText : MatchRule::KeyNumber,
                         tag.info.keyLength > 0 ? tag.info.keyLength : f.def.size};
            if (tag.info.keyType == 'D')
                part.rule = MatchRule::KeyText;
            it = keyIndexes_.emplace(activeTagNo_, built(RecordIndex({part}))).first;
        }
        // Equal keys follow record number order in a tag, so the first live match is the key's
        // first record.
        std::uint32_t r = 0;
        for (std::uint32_t c : it->second.find(values))
            if (!deleted(c)) {
                r = c;
                break;
            }
        if (r == 0)
            return false;
        current_ = r;
        eof_ = bof_ = false;
        return true;
    }
};

// ---------------------------------------------------------------------------------------------

Table::Table(std::string folder, std::string name) : impl_(std::make_unique<Impl>(std::move(folder), std::move(name))) {}

Table::~Table()
{
    try {
        impl_->close();
    } catch (...) {
        // A destructor cannot report; callers that need to know close() first.
    }
}

namespace {

// The engine's own texts name the table; a system error met on the way (a full disk while the
// index is written) gets it as its place.
template <typename F>
void namingTable(const std::string& table, F&& action)
{
    try {
        action();
    } catch (FileError& e) {
        e.ponLugar(lugarEnTabla(table));
        throw;
    }
}

}  // namespace

void Table::open(Access access) { namingTable(impl_->name_, [&] { impl_->open(access); }); }
void Table::close() { namingTable(impl_->name_, [&] { impl_->close(); }); }
bool Table::isOpen() const { return impl_->isOpen_; }
const std::string& Table::name() const { return impl_->name_; }

const std::vector<FieldDef>& Table::fields() const
{
    static const std::vector<FieldDef> none;
    return impl_->isOpen_ ? impl_->defs_ : none;
}

const FieldDef& Table::fieldDef(const FieldRef& field) const { return impl_->field(field).def; }

int Table::fieldIndex(std::string_view fieldName) const
{
    return impl_->isOpen_ ? impl_->fieldIndex(fieldName) : -1;
}

void Table::append() { impl_->append(); }
void Table::appendCopy() { impl_->appendCopy(); }
void Table::appendRecords(std::string_view records)
{
    namingTable(impl_->name_, [&] { impl_->appendRecords(records); });
}

void Table::appendRecordsAndClear(std::string& records)
{
    try {
        appendRecords(records);
    } catch (...) {
        records.clear();
        throw;
    }
    records.clear();
}

std::string_view Table::recordBytes() const
{
    impl_->ensureOpen();
    return {reinterpret_cast<const char*>(impl_->currentBytes()), impl_->layout_.recordLength};
}

void Table::edit() { impl_->edit(); }
void Table::post() { namingTable(impl_->name_, [&] { impl_->post(); }); }
void Table::cancel() { impl_->cancel(); }
bool Table::editingOrAppending() const { return impl_->state_ != Impl::State::Browse; }

void Table::first() { impl_->first(); }
void Table::last() { impl_->last(); }
void Table::next() { impl_->step(1); }
void Table::prior() { impl_->step(-1); }
bool Table::eof() const { return !impl_->isOpen_ || impl_->eof_; }
bool Table::bof() const { return !impl_->isOpen_ || impl_->bof_; }

long Table::recordCount() const
{
    return impl_->isOpen_ ? static_cast<long>(impl_->count()) : 0;
}

long Table::recNo() const
{
    if (!impl_->isOpen_ || impl_->state_ == Impl::State::Append)
        return 0;
    return static_cast<long>(impl_->current_);
}

void Table::goTo(long recNo) { impl_->goTo(recNo); }
void Table::deleteRecord() { namingTable(impl_->name_, [&] { impl_->deleteRecord(); }); }

// Reading and filling one field, whether it was named or found before.
namespace {

std::string textOf(const Table::Impl& t, const dbf::Field& f)
{
    return t.withField(f, [&] { return codec::readText(f, t.visible()); });
}

// Sets a field in a record's bytes: those being edited, or a record made in memory.
void writeTextIn(const Table::Impl& t, const dbf::Field& f, unsigned char* rec, std::string_view value)
{
    if (f.def.type == 'C') {  // the usual case, without the codec's choice by type
        codec::writeCharacters(f, rec, value);
        return;
    }
    t.withField(f, [&] { codec::writeText(f, rec, value); });
}

// A character or date field's text in a record, as textView reads it; `written`: when a text
// that long was just written there, the field's blanks after it are not looked at.
std::string_view textViewIn(const Table::Impl& t, const dbf::Field& f, const unsigned char* rec,
                            std::size_t written = SIZE_MAX)
{
    if (f.def.type == 'C')
        return written == SIZE_MAX ? codec::storedText(f, rec) : codec::storedTextWithin(f, rec, written);
    return t.withField(f, [&] {
        const codec::Kind kind = codec::kindOf(f.def.type);
        if (kind != codec::Kind::Text && kind != codec::Kind::Date)
            throw codec::ValueError("el campo no es de texto");
        return codec::storedText(f, rec);
    });
}

void setTextOf(Table::Impl& t, const dbf::Field& f, std::string_view value)
{
    writeTextIn(t, f, t.editable(), value);
}

double floatOf(const Table::Impl& t, const dbf::Field& f)
{
    return t.withField(f, [&]() -> double {
        const unsigned char* rec = t.visible();
        switch (codec::kindOf(f.def.type)) {
        case codec::Kind::Number:
            return codec::readNumber(f, rec).value_or(0);
        case codec::Kind::Logical:
            return codec::readLogical(f, rec).value_or(false) ? 1 : 0;
        default: {
            const std::string text = codec::readText(f, rec);
            if (text.find_first_not_of(' ') == std::string::npos)
                return 0;
            const auto v = codec::parseNumber(text);
            if (!v)
                throw codec::ValueError("'" + text + "' no es un n\xFAmero");
            return *v;
        }
        }
    });
}

long integerOf(const Table::Impl& t, const dbf::Field& f)
{
    const double value = floatOf(t, f);
    return t.withField(f, [&] { return codec::roundToLong(value); });  // too large: an engine error
}

void setIntegerOf(Table::Impl& t, const dbf::Field& f, long value)
{
    unsigned char* rec = t.editable();
    t.withField(f, [&] { codec::writeInteger(f, rec, value); });
}

void setFloatOf(Table::Impl& t, const dbf::Field& f, double value)
{
    unsigned char* rec = t.editable();
    t.withField(f, [&] { codec::writeNumber(f, rec, value); });
}

}  // namespace

FieldRef Table::field(std::string_view fieldName) const { return impl_->handle(fieldName); }

std::string Table::asText(std::string_view fieldName) const { return textOf(*impl_, impl_->field(fieldName)); }
std::string Table::asText(const FieldRef& field) const { return textOf(*impl_, impl_->field(field)); }

std::string_view Table::textView(const FieldRef& field) const
{
    const dbf::Field& f = impl_->field(field);
    if (f.def.type == 'C')  // the usual case, which nothing can make fail
        return codec::storedText(f, impl_->visible());
    return textViewIn(*impl_, f, impl_->visible());
}

void Table::setText(std::string_view fieldName, std::string_view value)
{
    setTextOf(*impl_, impl_->field(fieldName), value);
}

void Table::setText(const FieldRef& field, std::string_view value) { setTextOf(*impl_, impl_->field(field), value); }

void Table::setTextIn(char* record, const FieldRef& field, std::string_view value) const
{
    writeTextIn(*impl_, impl_->field(field), reinterpret_cast<unsigned char*>(record), value);
}

std::string_view Table::setTextInView(char* record, const FieldRef& field, std::string_view value) const
{
    const dbf::Field& f = impl_->field(field);
    auto* rec = reinterpret_cast<unsigned char*>(record);
    writeTextIn(*impl_, f, rec, value);
    return textViewIn(*impl_, f, rec, value.size());
}

void Table::setIntegerIn(char* record, const FieldRef& field, long value) const
{
    const dbf::Field& f = impl_->field(field);
    impl_->withField(f, [&] { codec::writeInteger(f, reinterpret_cast<unsigned char*>(record), value); });
}

std::size_t Table::fieldOffset(const FieldRef& field) const
{
    return static_cast<std::size_t>(impl_->field(field).offset);
}

std::string_view Table::setTextView(const FieldRef& field, std::string_view value)
{
    const dbf::Field& f = impl_->field(field);
    setTextOf(*impl_, f, value);
    return textViewIn(*impl_, f, impl_->visible(), value.size());
}

long Table::asInteger(std::string_view fieldName) const { return integerOf(*impl_, impl_->field(fieldName)); }
long Table::asInteger(const FieldRef& field) const
{
    const dbf::Field& f = impl_->field(field);
    // The usual whole number read in place; anything else (a fraction to round, a number a
    // long cannot hold, which is 32 bits on Windows) the general way.
    constexpr double kLow = -static_cast<double>(std::numeric_limits<long>::max()), kHigh = -kLow;
    if (double plain; codec::readPlainNumber(f, impl_->visible(), plain) && plain >= kLow && plain <= kHigh) {
        const long whole = static_cast<long>(plain);
        if (static_cast<double>(whole) == plain)
            return whole;
    }
    return integerOf(*impl_, f);
}

void Table::setInteger(std::string_view fieldName, long value)
{
    setIntegerOf(*impl_, impl_->field(fieldName), value);
}

void Table::setInteger(const FieldRef& field, long value) { setIntegerOf(*impl_, impl_->field(field), value); }

double Table::asFloat(std::string_view fieldName) const { return floatOf(*impl_, impl_->field(fieldName)); }
double Table::asFloat(const FieldRef& field) const
{
    const dbf::Field& f = impl_->field(field);
    if (double plain; codec::readPlainNumber(f, impl_->visible(), plain))  // the usual number, in place
        return plain;
    return floatOf(*impl_, f);
}

void Table::setFloat(std::string_view fieldName, double value) { setFloatOf(*impl_, impl_->field(fieldName), value); }
void Table::setFloat(const FieldRef& field, double value) { setFloatOf(*impl_, impl_->field(field), value); }

bool Table::asBool(std::string_view fieldName) const
{
    const dbf::Field& f = impl_->field(fieldName);
    return impl_->withField(f, [&]() -> bool {
        const unsigned char* rec = impl_->visible();
        switch (codec::kindOf(f.def.type)) {
        case codec::Kind::Logical:
            return codec::readLogical(f, rec).value_or(false);
        case codec::Kind::Number:
            return codec::readNumber(f, rec).value_or(0) != 0;
        case codec::Kind::Text: {
            const std::string text = codec::readText(f, rec);
            return !text.empty() && std::strchr("TtYySs", text[0]) != nullptr;
        }
        default:
            throw codec::ValueError("el campo no es l\xF3gico");
        }
    });
}

namespace {

void setBoolOf(Table::Impl& t, const dbf::Field& f, bool value)
{
    unsigned char* rec = t.editable();
    t.withField(f, [&] { codec::writeLogical(f, rec, value); });
}

}  // namespace

void Table::setBool(std::string_view fieldName, bool value) { setBoolOf(*impl_, impl_->field(fieldName), value); }
void Table::setBool(const FieldRef& field, bool value) { setBoolOf(*impl_, impl_->field(field), value); }

bool Table::isBlank(std::string_view fieldName) const
{
    const dbf::Field& f = impl_->field(fieldName);
    return codec::isBlank(f, impl_->visible());
}

bool Table::locate(std::string_view fieldList, const std::vector<Value>& values)
{
    return impl_->locate(fieldList, values);
}

bool Table::locate(const FieldRef& field, std::string_view value)
{
    return impl_->locate(field, value);
}

void Table::setIndex(const std::string& tag) { impl_->setIndex(tag); }
const std::string& Table::activeIndex() const { return impl_->activeTag_; }
bool Table::findKey(const std::vector<Value>& values) { return impl_->findKey(values); }

// ---------------------------------------------------------------------------------------------

namespace {

// A private folder inside `folder` for building a table aside; its name is new, so nothing else
// is in it and no link can stand in for a file in it. 0 or an errno value.
int makeAsideFolder(const std::string& folder, std::string& out)
{
    static std::atomic<unsigned> counter{0};  // tables may be built on two threads at once
    for (int attempt = 0; attempt < 100; ++attempt) {
        out = folder + "/" + kAsideFolderPrefix + std::to_string(files::processId()) + "." + std::to_string(++counter);
        const int rc = files::fileSystem().makeFolder(out);
        if (rc != EEXIST)
            return rc;
    }
    return EEXIST;
}

}  // namespace

void removeAsideFolder(const std::string& aside)
{
    removeAsideFolder(aside, files::fileSystem());
}

void removeAsideFolder(const std::string& aside, files::FileSystem& fs)
{
    for (const std::string& file : files::listFolder(aside))
        fs.remove(files::joinPath(aside, file));
    fs.removeFolder(aside);
}

NewTable::NewTable(const std::string& folderGiven, const std::string& name, const std::vector<FieldDef>& fields,
                   const std::vector<IndexDef>& indexes, const std::vector<std::string>& deleteFirst, Spares spares)
    : name_(name), deleteFirst_(deleteFirst), spares_(spares)
{
    folder_ = resolveFolder(folderGiven);
    if (!files::folderExists(folder_))
        throw EngineError(texts::folderMissing(name, texts::folderShown(folderGiven, folder_)));

    std::vector<FieldDef> defs;
    try {
        defs = dbf::fieldsForCreate(fields);
    } catch (const std::invalid_argument& e) {
        throw EngineError(texts::cannotCreate(name, e.what()));
    }
    std::vector<bool> indexed(defs.size(), false);
    std::vector<MdxTag> tags;
    for (const IndexDef& index : indexes) {
        auto it = std::find_if(defs.begin(), defs.end(),
                               [&](const FieldDef& f) { return ::strcasecmp(f.name.c_str(), index.field.c_str()) == 0; });
        if (it == defs.end())
            throw EngineError(texts::cannotCreate(name, "el \xEDndice " + index.tag + " usa el campo " + index.field +
                                                            ", que la tabla no tiene"));
        if (index.tag.empty() || index.tag.size() > 10)
            throw EngineError(texts::cannotCreate(name, "el nombre de \xEDndice '" + index.tag +
                                                            "' debe tener de 1 a 10 caracteres"));
        const char keyType = keyTypeFor(it->type);
        if (keyType == 0)
            throw EngineError(texts::cannotCreate(name, "el campo " + it->name + " no admite \xEDndice"));
        indexed[static_cast<std::size_t>(it - defs.begin())] = true;
        MdxTag tag;
        tag.name = upper(index.tag);
        tag.field = it->name;
        tag.keyType = keyType;
        tag.keyLength = keyType == 'C' ? it->size : keyType == 'N' ? 12 : 8;
        tags.push_back(tag);
    }

    // The names the files will have in place: the table's as given, or as an existing file of
    // that name spells it when the commit does not delete that file first.
    const std::string fileName = dbfFileName(name);
    dbfName_ = fileName;
    const bool deletedFirst = std::any_of(deleteFirst.begin(), deleteFirst.end(), [&](const std::string& d) {
        return ::strcasecmp(d.c_str(), fileName.c_str()) == 0;
    });
    if (!deletedFirst) {
        const std::string existing = files::pathInFolder(folder_, fileName);
        dbfName_ = files::fileName(existing);
    }
    if (!tags.empty())
        mdxName_ = mdxFileName(dbfName_);

    files::FileSystem& fs = files::fileSystem();
    if (const int rc = makeAsideFolder(folder_, aside_)) {
        aside_.clear();
        throw EngineError(texts::cannotCreate(name, fileErrorText(windowsErrorCode(rc))));
    }
    try {
        if (!tags.empty()) {
            try {
                // Our tables name the Windows ANSI Western European driver; their index sorts the same way.
                MdxIndex::create(aside_ + "/" + mdxName_, tags, kMdxLanguageWestEurope);
            } catch (const FileError& e) {
                throw EngineError(texts::cannotCreateIndex(name, fileErrorText(e.code())));
            }
        }
        const std::vector<unsigned char> bytes = dbf::newTable(defs, indexed, !tags.empty(), dbf::today());
        const std::string dbfAside = aside_ + "/" + dbfName_;
        std::unique_ptr<files::File> file;
        int rc = ENOENT;
        if (spares_ == Spares::Use && takeSpare(folder_, dbfName_, dbfAside)) {
            // Only a file of its own: one with another name as well would change under it.
            rc = fs.open(dbfAside, files::OpenMode::ReadWrite, files::Sharing::None, file);
            files::FileStatus status;
            overSpare_ = rc == 0 && file->writable() && file->status(status) == 0 && status.links == 1;
            if (!overSpare_) {
                file.reset();
                fs.remove(dbfAside);
            }
        }
        if (!file)
            rc = fs.open(dbfAside, files::OpenMode::CreateTruncate, files::Sharing::None, file);
        if (rc == 0)
            rc = file->writeAt(0, bytes.data(), bytes.size());
        if (rc != 0)
            throw EngineError(texts::cannotCreate(name, fileErrorText(windowsErrorCode(rc))));
    } catch (...) {
        discard();
        throw;
    }
}

NewTable::~NewTable()
{
    if (committed_)
        return;
    if (placeOnError_ && std::uncaught_exceptions() > uncaughtAtStart_) {
        try {
            commitAsWritten();
        } catch (...) {
            // The error that ends the builder is the one reported.
        }
        if (committed_)
            return;
    }
    discard();
}

Table& NewTable::table()
{
    if (committed_ || aside_.empty())
        throw EngineError(texts::notOpen(name_));
    if (!table_) {
        // The aside folder is a path found already: resolved again, a path on drive C: would be
        // taken into the folder that stands for drive C a second time.
        table_ = std::make_unique<Table>(aside_, name_);
        table_->impl_->folderFound_ = true;
        table_->open(Access::Exclusive);
    }
    return *table_;
}

void NewTable::commit()
{
    if (committed_ || aside_.empty())
        return;
    try {
        if (table_)
            table_->close();  // every record and key written
        table_.reset();

        files::FileSystem& fs = files::fileSystem();
        if (overSpare_) {
            // The spare's old bytes after the table's end mark go; until now nobody could see them.
            std::unique_ptr<files::File> file;
            int rc = fs.open(aside_ + "/" + dbfName_, files::OpenMode::ReadWrite, files::Sharing::None, file);
            if (rc == 0)
                rc = cutAfterEnd(*file);
            if (rc != 0)
                throw EngineError(texts::cannotCreate(name_, fileErrorText(windowsErrorCode(rc))));
        }
        const std::string dbfPath = folder_ + "/" + dbfName_;
        // A table that some open holds cannot be replaced under it.
        if (placeInUse())
            throw EngineError(texts::inUse(name_));
        // The table replaced becomes the spare of its name when it may; the other files replaced
        // go into the aside folder, which is removed with them on the removal thread; one that
        // cannot be moved is deleted here, as before.
        int moved = 0;
        const auto putAside = [&](const std::string& path) {
            if (spares_ == Spares::Use && ::strcasecmp(files::fileName(path).c_str(), dbfName_.c_str()) == 0 &&
                keepAsSpare(folder_, path))
                return;
            if (fs.rename(path, aside_ + "/antiguo." + std::to_string(++moved)) != 0)
                fs.remove(path);  // failure ignored: the table is put over it
        };
        for (const std::string& doomed : deleteFirst_) {
            const std::string path = files::pathInFolder(folder_, doomed);
            if (files::fileExists(path))
                putAside(path);
        }
        if (!mdxName_.empty()) {
            // The table goes first, so that an old table never stands beside the new index.
            if (files::fileExists(dbfPath))
                putAside(dbfPath);
            if (const int rc = fs.rename(aside_ + "/" + mdxName_, folder_ + "/" + mdxName_))
                throw EngineError(texts::cannotCreateIndex(name_, fileErrorText(windowsErrorCode(rc))));
        }
        if (const int rc = fs.rename(aside_ + "/" + dbfName_, dbfPath)) {
            if (!mdxName_.empty())
                fs.remove(folder_ + "/" + mdxName_);
            throw EngineError(texts::cannotCreate(name_, fileErrorText(windowsErrorCode(rc))));
        }
    } catch (...) {
        discard();
        throw;
    }
    committed_ = true;
    removeAsideFolderLater(folder_, aside_);
}

void NewTable::commitAsWritten()
{
    std::exception_ptr closing;
    if (table_ && !committed_) {
        try {
            table_->close();
        } catch (...) {
            closing = std::current_exception();
        }
        table_.reset();
    }
    commit();
    if (closing)
        std::rethrow_exception(closing);
}

bool NewTable::placeInUse() const
{
    const std::string existing = files::pathInFolder(folder_, dbfFileName(name_));
    if (!files::fileExists(existing))
        return false;
    std::unique_ptr<files::File> file;
    const int rc = files::fileSystem().open(existing, files::OpenMode::ReadWrite, files::Sharing::ReadWrite, file);
    return rc == EBUSY || (rc == 0 && lockForOpen(*file, Access::Exclusive) == LockResult::InUse);
}

void NewTable::checkPlaceFree() const
{
    if (placeInUse())
        throw EngineError(texts::inUse(name_));
}

// Removes what was built and not put in place.
void NewTable::discard()
{
    if (table_) {
        try {
            table_->close();
        } catch (...) {
            // Its files are removed below.
        }
        table_.reset();
    }
    if (aside_.empty())
        return;
    removeAsideFolder(aside_);
    aside_.clear();
}

void recreateTable(const std::string& folder, const std::string& name, const std::vector<FieldDef>& fields,
                   const std::vector<IndexDef>& indexes, const std::vector<std::string>& deleteFirst)
{
    NewTable(folder, name, fields, indexes, deleteFirst, NewTable::Spares::Leave).commit();
}

}  // namespace store
