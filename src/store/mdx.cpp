// The ".MDX" production index. The whole index is read into memory at open and checked there,
// so a damaged file is found before it is used; each tag is a B-tree of nodes in memory, and
// flush writes back only the nodes and headers that changed since the last flush.
#include "store/mdx.h"

#include <algorithm>
#include <atomic>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <utility>

#include "files/file_io.h"
#include "files/folders.h"
#include "files/process.h"
#include "store/errors.h"
#include "store/mdx_collation.h"
#include "store/mdx_format.h"
#include "store/mdx_key.h"

namespace store {

namespace {

using namespace mdx;

constexpr std::uint32_t kNoNode = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint32_t kMaxRecNo = 0x7FFFFFFF;
constexpr int kMaxDepth = 64;  // far above any real tree; bounds a damaged one
constexpr int kMaxTags7 = (kHeaderBytes - kTagTableBase - kTagSize7) / kTagSize7;
constexpr int kMaxTagsRead = 47;

std::string upperAscii(std::string text)
{
    for (char& ch : text)
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    return text;
}

std::string hex(unsigned value)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[value % 16]);
        value /= 16;
    } while (value != 0);
    return "0x" + text;
}

// The table's name for messages about an index that has none given: the file name without
// folder and extension.
std::string nameFromPath(const std::string& path)
{
    std::string name = files::fileName(path);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

void stampDate(std::uint8_t* p)
{
    const files::LocalDate local = files::localDate(std::time(nullptr));
    p[0] = static_cast<std::uint8_t>(local.year - 1900);
    p[1] = static_cast<std::uint8_t>(local.month);
    p[2] = static_cast<std::uint8_t>(local.day);
}

// A node in memory. Entries are kept in order; an inner node keeps, for each child, the
// greatest key and record number under it (the key is what the file stores beside the child's
// block number; the record number lets equal keys stay in record number order).
struct Node {
    std::uint32_t page = 0;
    bool leaf = true;
    bool live = true;
    bool dirty = false;
    std::vector<std::uint8_t> keys;   // count() keys of the tag's key length
    std::vector<std::uint32_t> refs;  // leaf: record numbers; inner: child node ids
    std::vector<std::uint32_t> recs;  // inner: record number of the greatest entry per child

    std::size_t count() const { return refs.size(); }
    std::uint32_t recAt(std::size_t i) const { return leaf ? refs[i] : recs[i]; }
};

struct Tag {
    MdxTag info;
    std::uint32_t headerPage = 0;
    std::vector<std::uint8_t> header;  // the tag's header block as on disk
    KeyOrder order;
    bool searchable = true;  // the key order is known, so the tree can be searched and changed
    int entryLength = 0;
    std::size_t capacity = 0;  // entries per node
    std::vector<Node> nodes;
    std::vector<std::uint32_t> freeIds;
    std::vector<std::uint32_t> dirty;
    std::uint32_t root = kNoNode;
    std::uint32_t liveNodes = 0;
};

// A place in a tag: the inner nodes passed on the way down with the child taken in each, then
// the leaf and an entry in it (== count at the end).
struct Position {
    std::vector<std::pair<std::uint32_t, std::size_t>> path;
    std::uint32_t leaf = kNoNode;
    std::size_t index = 0;
};

class MdxFile final : public MdxIndex {
public:
    MdxFile(std::string path, std::string tableName, bool writable, files::Sharing sharing)
        : path_(std::move(path)), tableName_(std::move(tableName)), writable_(writable), sharing_(sharing)
    {
    }

    ~MdxFile() override
    {
        try {
            flush();
        } catch (...) {
            // A destructor cannot report; callers flush after each change.
        }
    }

    void load(int tableLanguageId);

    const std::vector<MdxTag>& tags() const override { return infos_; }

    int tagNumber(const std::string& tagName) const override
    {
        const std::string wanted = upperAscii(tagName);
        for (std::size_t i = 0; i < tags_.size(); ++i)
            if (upperAscii(tags_[i].info.name) == wanted)
                return static_cast<int>(i);
        return -1;
    }

    void insert(int tag, const MdxKey& key, std::uint32_t recNo) override;
    void erase(int tag, const MdxKey& key, std::uint32_t recNo) override;
    MdxKeyCount keyCount(int tag) const override;
    std::vector<std::uint32_t> order(int tag) const override;
    std::uint32_t find(int tag, const MdxKey& key) const override;
    void flush() override;

private:
    [[noreturn]] void damaged(const std::string& cause) const
    {
        throw EngineError("El \xEDndice de la tabla " + tableName_ + " est\xE1 da\xF1" "ado (" + cause + ")");
    }

    const Tag& tagAt(int tag) const;
    Tag& writableTag(int tag, std::uint32_t recNo);
    using KeyBytes = std::array<std::uint8_t, kMaxKeyLength>;
    KeyBytes encode(const Tag& tag, const MdxKey& key) const;

    // Loading.
    void readFile(std::vector<std::uint8_t>& data);
    void loadTag(const std::vector<std::uint8_t>& data, int number, int version, int tagSize,
                 const Collation& collation, bool collationFromIndex);
    void claimPages(std::uint32_t page, const char* what);
    std::uint32_t loadNode(Tag& tag, const std::vector<std::uint8_t>& data, std::uint32_t page,
                           int depth, bool isRoot);
    bool leavesInOrder(const Tag& tag) const;

    // The tree.
    int compareEntry(const Tag& tag, const Node& node, std::size_t i, const std::uint8_t* key,
                     std::uint32_t rec) const;
    std::size_t lowerBound(const Tag& tag, const Node& node, const std::uint8_t* key,
                           std::uint32_t rec) const;
    Position locate(const Tag& tag, const std::uint8_t* key, std::uint32_t rec) const;
    Position first(const Tag& tag) const;
    bool next(const Tag& tag, Position& pos) const;
    bool findEntry(const Tag& tag, const std::uint8_t* key, std::uint32_t rec, Position& pos) const;
    bool refreshEntry(Tag& tag, std::uint32_t parent, std::size_t i);
    std::uint32_t splitIfFull(Tag& tag, std::uint32_t id, bool insertedAtEnd);
    std::uint32_t newNode(Tag& tag, bool leaf);
    void freeNode(Tag& tag, std::uint32_t id);
    void markDirty(Tag& tag, std::uint32_t id);
    std::uint32_t allocatePage();

    // Writing.
    void serialize(const Tag& tag, const Node& node, std::uint8_t* block) const;
    void writeAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size);

    std::string path_;
    std::string tableName_;
    bool writable_;
    files::Sharing sharing_;
    bool loaded_ = false;  // a file refused while loading is never written
    bool changed_ = false; // an insert or erase since opening: only then is the file written
    std::unique_ptr<files::File> file_;  // open while the index may be written
    std::uint64_t fileBytes_ = 0;
    std::vector<std::uint8_t> header_;  // the file header as on disk
    std::uint32_t blockPages_ = 2;
    int blockBytes_ = kBlockBytes;
    std::uint32_t filePages_ = 0;
    std::vector<std::uint32_t> freePages_;  // blocks this session freed, to use again
    std::vector<bool> claimed_;             // pages in use, while loading
    std::vector<std::uint8_t> blockBuffer_; // a node being written
    std::vector<Tag> tags_;
    std::vector<MdxTag> infos_;
};

// ---------------------------------------------------------------------------------------------
// Loading and checking

void MdxFile::readFile(std::vector<std::uint8_t>& data)
{
    int rc = files::fileSystem().open(path_, files::OpenMode::ReadWrite, sharing_, file_);
    if (rc == 0 && writable_ && !file_->writable())
        rc = EACCES;
    if (rc != 0)
        throw EngineError("No se puede abrir el \xEDndice de la tabla " + tableName_ + ": " +
                          fileErrorText(windowsErrorCode(rc)));
    files::FileStatus info;
    if (const int error = file_->status(info))
        throw FileError(windowsErrorCode(error));
    data.resize(static_cast<std::size_t>(info.size));
    std::size_t done = 0;
    if (const int error = file_->readAt(0, data.data(), data.size(), done))
        throw FileError(windowsErrorCode(error));
    data.resize(done);
    fileBytes_ = done;
    if (!writable_)
        file_.reset();
}

void MdxFile::load(int tableLanguageId)
{
    std::vector<std::uint8_t> data;
    readFile(data);

    if (data.size() < static_cast<std::size_t>(kHeaderBytes))
        damaged("archivo cortado: falta la cabecera");
    header_.assign(data.begin(), data.begin() + kHeaderBytes);
    const int version = header_[kFileVersion];
    if (version != kVersionLevel4 && version != kVersionLevel7)
        damaged("cabecera no v\xE1lida: versi\xF3n " + std::to_string(version));
    blockPages_ = get16(&header_[kFileBlockPages]);
    blockBytes_ = get16(&header_[kFileBlockBytes]);
    if (blockPages_ == 0 || blockBytes_ != static_cast<int>(blockPages_) * kPageBytes ||
        blockBytes_ > kMaxBlockBytes)
        damaged("cabecera no v\xE1lida: tama\xF1o de bloque " + std::to_string(blockBytes_));
    filePages_ = get32(&header_[kFilePages]);
    if (filePages_ < kHeaderPages || filePages_ > data.size() / kPageBytes)
        damaged("archivo cortado: la cabecera cuenta " + std::to_string(filePages_) +
                " p\xE1ginas y el archivo tiene " + std::to_string(data.size() / kPageBytes));
    const int tagSize = header_[kFileTagSize];
    const int tagsUsed = get16(&header_[kFileTagsUsed]);
    if (tagSize < kTagSize4 || tagsUsed > kMaxTagsRead ||
        kTagTableBase + tagSize + tagsUsed * tagSize > kHeaderBytes)
        damaged("cabecera no v\xE1lida: tabla de etiquetas");

    // The index's own language sets the key order; an index without one follows its table.
    const int languageId = header_[kFileLanguage];
    const bool fromIndex = languageId != kMdxLanguageNone;
    const Collation& collation = collationForLanguage(fromIndex ? languageId : std::max(tableLanguageId, -1));

    claimed_.assign(filePages_, false);
    for (std::uint32_t p = 0; p < kHeaderPages; ++p)
        claimed_[p] = true;
    tags_.reserve(static_cast<std::size_t>(tagsUsed));
    for (int i = 0; i < tagsUsed; ++i)
        loadTag(data, i, version, tagSize, collation, fromIndex);
    claimed_.clear();
    claimed_.shrink_to_fit();
    for (const Tag& tag : tags_)
        infos_.push_back(tag.info);
    loaded_ = true;
}

void MdxFile::claimPages(std::uint32_t page, const char* what)
{
    if (page < kHeaderPages || page >= filePages_ || filePages_ - page < blockPages_)
        damaged(std::string(what) + " en la p\xE1gina " + std::to_string(page) + ", fuera del archivo");
    for (std::uint32_t p = page; p < page + blockPages_; ++p) {
        if (claimed_[p])
            damaged(std::string(what) + " en la p\xE1gina " + std::to_string(page) +
                    ", que ya est\xE1 en uso: el \xE1rbol tiene un bucle");
        claimed_[p] = true;
    }
}

void MdxFile::loadTag(const std::vector<std::uint8_t>& data, int number, int version, int tagSize,
                      const Collation& collation, bool collationFromIndex)
{
    const std::uint8_t* entry = &header_[kTagTableBase + tagSize + number * tagSize];
    Tag tag;
    // dBASE 7 entries hold longer names; engines that write them 32 bytes apart let the next
    // entry overwrite the end of a long name, so never read a name into the next entry.
    const int nameRoom = std::min(version == kVersionLevel7 ? kTagNameBytes7 : kTagNameBytes4,
                                  tagSize - kTagName);
    const auto* name = entry + kTagName;
    tag.info.name.assign(reinterpret_cast<const char*>(name),
                         static_cast<std::size_t>(std::find(name, name + nameRoom, 0) - name));
    const std::string what = "etiqueta " + tag.info.name;

    tag.headerPage = get32(entry + kTagHeaderBlock);
    claimPages(tag.headerPage, what.c_str());
    const std::uint8_t* block = &data[static_cast<std::size_t>(tag.headerPage) * kPageBytes];
    tag.header.assign(block, block + blockBytes_);

    char type = static_cast<char>(block[kTagKeyType]);
    if (type == 'F')
        type = 'N';
    const int keyLength = get16(block + kTagKeyLength);
    const int maxKeys = get16(block + kTagMaxKeys);
    tag.entryLength = get16(block + kTagEntryLength);
    const bool lengthFits = (type == 'C' && keyLength >= 1 && keyLength <= kMaxKeyLength) ||
                            (type == 'N' && keyLength == kNumericKeyLength) ||
                            (type == 'D' && keyLength == kDateKeyLength);
    if (!lengthFits)
        damaged(what + ": clave de tipo " + (type > ' ' && type < 0x7F ? std::string(1, type) : hex(static_cast<std::uint8_t>(type))) +
                " y longitud " + std::to_string(keyLength));
    // Both counts come from the file, up to 65535 each: their product is worked out in 64 bits.
    if (tag.entryLength < keyLength + kEntryNumberBytes || maxKeys < 2 ||
        kNodeEntries + std::int64_t(maxKeys) * tag.entryLength > blockBytes_)
        damaged(what + ": tama\xF1o de entrada no v\xE1lido");
    tag.capacity = static_cast<std::size_t>(maxKeys);

    const auto* expression = reinterpret_cast<const char*>(block + kTagExpression);
    std::string field(expression, strnlen(expression, kTagExpressionBytes));
    field.erase(0, field.find_first_not_of(' '));
    field.erase(field.find_last_not_of(' ') + 1);
    const std::uint8_t format = block[kTagKeyFormat];
    tag.info.field = field;
    tag.info.keyType = type;
    tag.info.keyLength = keyLength;
    tag.info.descending = (format & kFormatDescending) != 0;
    tag.info.unique = (format & (kFormatUnique | kFormatDistinct)) != 0 || block[kTagUnique] != 0;
    tag.info.filtered = block[kTagForExists] != 0;

    tag.order.type = type;
    tag.order.length = keyLength;
    tag.order.descending = tag.info.descending;
    tag.order.collation = &collation;
    tag.searchable = type != 'C' || collation.known;

    tag.root = loadNode(tag, data, get32(block + kTagRoot), 0, true);
    // Keys out of order mean a damaged tree, or a key order other than the one assumed for an
    // index that does not name its own: then search it by reading it through.
    if (type == 'C' && tag.searchable && !leavesInOrder(tag)) {
        if (collationFromIndex)
            damaged(what + ": claves fuera de orden");
        tag.searchable = false;
    }
    tags_.push_back(std::move(tag));
}

std::uint32_t MdxFile::loadNode(Tag& tag, const std::vector<std::uint8_t>& data, std::uint32_t page,
                                int depth, bool isRoot)
{
    const std::string what = "etiqueta " + tag.info.name;
    if (depth > kMaxDepth)
        damaged(what + ": \xE1rbol demasiado profundo");
    claimPages(page, what.c_str());
    const std::uint8_t* block = &data[static_cast<std::size_t>(page) * kPageBytes];
    const std::uint32_t stored = get32(block + kNodeCount);
    if (stored > tag.capacity)
        damaged(what + ": la p\xE1gina " + std::to_string(page) + " dice tener " + std::to_string(stored) + " claves");
    const std::size_t n = stored;
    const int keyLength = tag.info.keyLength;
    auto entryAt = [&](std::size_t i) { return block + kNodeEntries + i * static_cast<std::size_t>(tag.entryLength); };
    const bool inner = n < tag.capacity && get32(entryAt(n)) != 0;

    Node node;
    node.page = page;
    node.leaf = !inner;
    bool repaired = false;
    if (inner) {
        for (std::size_t i = 0; i <= n; ++i) {
            const std::uint32_t child = loadNode(tag, data, get32(entryAt(i)), depth + 1, false);
            if (child == kNoNode) {  // an empty child: drop it
                repaired = true;
                continue;
            }
            const Node& c = tag.nodes[child];
            const std::uint8_t* greatest = &c.keys[(c.count() - 1) * static_cast<std::size_t>(keyLength)];
            if (i < n && std::memcmp(greatest, entryAt(i) + kEntryNumberBytes, static_cast<std::size_t>(keyLength)) != 0)
                repaired = true;  // a stale separator: write it right at the next flush
            node.keys.insert(node.keys.end(), greatest, greatest + keyLength);
            node.recs.push_back(c.recAt(c.count() - 1));
            node.refs.push_back(child);
        }
        if (node.refs.empty()) {
            if (!isRoot) {
                freePages_.push_back(page);
                return kNoNode;
            }
            node.leaf = true;
            repaired = true;
        }
    } else {
        if (n == 0 && !isRoot) {
            freePages_.push_back(page);
            return kNoNode;
        }
        node.keys.reserve(n * static_cast<std::size_t>(keyLength));
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t rec = get32(entryAt(i));
            if (rec == 0 || rec > kMaxRecNo)
                damaged(what + ": n\xFAmero de registro " + std::to_string(rec) + " en la p\xE1gina " + std::to_string(page));
            node.refs.push_back(rec);
            node.keys.insert(node.keys.end(), entryAt(i) + kEntryNumberBytes, entryAt(i) + kEntryNumberBytes + keyLength);
        }
    }
    const auto id = static_cast<std::uint32_t>(tag.nodes.size());
    tag.nodes.push_back(std::move(node));
    ++tag.liveNodes;
    if (repaired)
        markDirty(tag, id);
    return id;
}

bool MdxFile::leavesInOrder(const Tag& tag) const
{
    Position pos = first(tag);
    const std::uint8_t* previous = nullptr;
    const auto keyLength = static_cast<std::size_t>(tag.info.keyLength);
    while (pos.index < tag.nodes[pos.leaf].count()) {
        const std::uint8_t* key = &tag.nodes[pos.leaf].keys[pos.index * keyLength];
        if (previous && tag.order.compare(previous, key) > 0)
            return false;
        previous = key;
        if (!next(tag, pos))
            break;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Searching the tree

int MdxFile::compareEntry(const Tag& tag, const Node& node, std::size_t i, const std::uint8_t* key,
                          std::uint32_t rec) const
{
    const int result = tag.order.compare(key, &node.keys[i * static_cast<std::size_t>(tag.info.keyLength)]);
    if (result != 0)
        return result;
    const std::uint32_t other = node.recAt(i);
    return rec < other ? -1 : (rec > other ? 1 : 0);
}

// The first entry of the node at or after (key, rec).
std::size_t MdxFile::lowerBound(const Tag& tag, const Node& node, const std::uint8_t* key,
                                std::uint32_t rec) const
{
    std::size_t low = 0;
    std::size_t high = node.count();
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        if (compareEntry(tag, node, middle, key, rec) > 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

Position MdxFile::locate(const Tag& tag, const std::uint8_t* key, std::uint32_t rec) const
{
    Position pos;
    std::uint32_t id = tag.root;
    while (!tag.nodes[id].leaf) {
        const Node& node = tag.nodes[id];
        const std::size_t i = std::min(lowerBound(tag, node, key, rec), node.count() - 1);
        pos.path.emplace_back(id, i);
        id = node.refs[i];
    }
    pos.leaf = id;
    pos.index = lowerBound(tag, tag.nodes[id], key, rec);
    return pos;
}

Position MdxFile::first(const Tag& tag) const
{
    Position pos;
    std::uint32_t id = tag.root;
    while (!tag.nodes[id].leaf) {
        pos.path.emplace_back(id, 0);
        id = tag.nodes[id].refs[0];
    }
    pos.leaf = id;
    return pos;
}

// Moves to the next entry in key order; false at the end.
bool MdxFile::next(const Tag& tag, Position& pos) const
{
    if (++pos.index < tag.nodes[pos.leaf].count())
        return true;
    while (!pos.path.empty()) {
        auto& [parent, i] = pos.path.back();
        if (i + 1 < tag.nodes[parent].count()) {
            ++i;
            std::uint32_t id = tag.nodes[parent].refs[i];
            while (!tag.nodes[id].leaf) {
                pos.path.emplace_back(id, 0);
                id = tag.nodes[id].refs[0];
            }
            pos.leaf = id;
            pos.index = 0;
            return true;
        }
        pos.path.pop_back();
    }
    pos.index = tag.nodes[pos.leaf].count();
    return false;
}

// Finds the entry with this key and record number. Equal keys are normally in record number
// order, but other engines keep them in the order they were added: then read the run through.
bool MdxFile::findEntry(const Tag& tag, const std::uint8_t* key, std::uint32_t rec, Position& pos) const
{
    const auto keyLength = static_cast<std::size_t>(tag.info.keyLength);
    auto at = [&](const Position& p) { return &tag.nodes[p.leaf].keys[p.index * keyLength]; };
    auto valid = [&](const Position& p) { return p.index < tag.nodes[p.leaf].count(); };
    if (!tag.searchable) {
        for (pos = first(tag); valid(pos); next(tag, pos))
            if (tag.nodes[pos.leaf].refs[pos.index] == rec && std::memcmp(at(pos), key, keyLength) == 0)
                return true;
        return false;
    }
    pos = locate(tag, key, rec);
    if (valid(pos) && tag.nodes[pos.leaf].refs[pos.index] == rec && tag.order.compare(at(pos), key) == 0)
        return true;
    for (pos = locate(tag, key, 0); valid(pos) && tag.order.compare(at(pos), key) == 0; next(tag, pos))
        if (tag.nodes[pos.leaf].refs[pos.index] == rec)
            return true;
    return false;
}

const Tag& MdxFile::tagAt(int tag) const
{
    if (tag < 0 || static_cast<std::size_t>(tag) >= tags_.size())
        throw EngineError("El \xEDndice de la tabla " + tableName_ + " no tiene la etiqueta n\xFAmero " +
                          std::to_string(tag));
    return tags_[static_cast<std::size_t>(tag)];
}

MdxFile::KeyBytes MdxFile::encode(const Tag& tag, const MdxKey& key) const
{
    KeyBytes bytes{};
    switch (tag.info.keyType) {
    case 'N': encodeNumericKey(key.number, bytes.data()); break;
    case 'D': encodeDateKey(key.number, bytes.data()); break;
    default: encodeCharacterKey(key.text, tag.info.keyLength, bytes.data()); break;
    }
    return bytes;
}

MdxKeyCount MdxFile::keyCount(int tagNo) const
{
    const Tag& tag = tagAt(tagNo);
    MdxKeyCount count;
    for (const Node& node : tag.nodes) {
        if (!node.live || !node.leaf)
            continue;
        count.keys += static_cast<std::uint32_t>(node.count());
        for (const std::uint32_t rec : node.refs)
            count.greatestRecord = std::max(count.greatestRecord, rec);
    }
    return count;
}

std::vector<std::uint32_t> MdxFile::order(int tagNo) const
{
    const Tag& tag = tagAt(tagNo);
    std::vector<std::uint32_t> records;
    for (Position pos = first(tag); pos.index < tag.nodes[pos.leaf].count(); next(tag, pos))
        records.push_back(tag.nodes[pos.leaf].refs[pos.index]);
    return records;
}

std::uint32_t MdxFile::find(int tagNo, const MdxKey& key) const
{
    const Tag& tag = tagAt(tagNo);
    const KeyBytes wanted = encode(tag, key);
    const auto keyLength = static_cast<std::size_t>(tag.info.keyLength);
    if (!tag.searchable) {
        for (Position pos = first(tag); pos.index < tag.nodes[pos.leaf].count(); next(tag, pos))
            if (std::memcmp(&tag.nodes[pos.leaf].keys[pos.index * keyLength], wanted.data(), keyLength) == 0)
                return tag.nodes[pos.leaf].refs[pos.index];
        return 0;
    }
    const Position pos = locate(tag, wanted.data(), 0);
    const Node& leaf = tag.nodes[pos.leaf];
    if (pos.index < leaf.count() && tag.order.compare(&leaf.keys[pos.index * keyLength], wanted.data()) == 0)
        return leaf.refs[pos.index];
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Changing the tree

Tag& MdxFile::writableTag(int tagNo, std::uint32_t recNo)
{
    tagAt(tagNo);  // checks the number
    Tag& tag = tags_[static_cast<std::size_t>(tagNo)];
    if (!writable_)
        throw EngineError("El \xEDndice de la tabla " + tableName_ + " est\xE1 abierto s\xF3lo para lectura");
    if (recNo == 0 || recNo > kMaxRecNo)
        throw EngineError("El \xEDndice de la tabla " + tableName_ + " no admite el registro " + std::to_string(recNo));
    changed_ = true;
    return tag;
}

void MdxFile::markDirty(Tag& tag, std::uint32_t id)
{
    Node& node = tag.nodes[id];
    if (!node.dirty) {
        node.dirty = true;
        tag.dirty.push_back(id);
    }
}

std::uint32_t MdxFile::allocatePage()
{
    if (!freePages_.empty()) {
        const std::uint32_t page = freePages_.back();
        freePages_.pop_back();
        return page;
    }
    if (filePages_ > std::numeric_limits<std::uint32_t>::max() - blockPages_)
        throw EngineError("El \xEDndice de la tabla " + tableName_ + " no puede crecer m\xE1s");
    const std::uint32_t page = filePages_;
    filePages_ += blockPages_;
    return page;
}

std::uint32_t MdxFile::newNode(Tag& tag, bool leaf)
{
    const std::uint32_t page = allocatePage();
    std::uint32_t id;
    if (!tag.freeIds.empty()) {
        id = tag.freeIds.back();
        tag.freeIds.pop_back();
        tag.nodes[id] = Node{};
    } else {
        id = static_cast<std::uint32_t>(tag.nodes.size());
        tag.nodes.emplace_back();
    }
    tag.nodes[id].page = page;
    tag.nodes[id].leaf = leaf;
    ++tag.liveNodes;
    markDirty(tag, id);
    return id;
}

void MdxFile::freeNode(Tag& tag, std::uint32_t id)
{
    Node& node = tag.nodes[id];
    node.live = false;
    node.keys.clear();
    node.refs.clear();
    node.recs.clear();
    freePages_.push_back(node.page);
    tag.freeIds.push_back(id);
    --tag.liveNodes;
}

// Copies the greatest key under child i into the parent's entry i; true when it changed.
// Searches never read the key of an inner node's last entry (the rightmost child has no upper
// bound), so a change there alone does not make the node worth writing: keys added in
// ascending order then cost one leaf write each.
bool MdxFile::refreshEntry(Tag& tag, std::uint32_t parentId, std::size_t i)
{
    const auto keyLength = static_cast<std::size_t>(tag.info.keyLength);
    const Node& child = tag.nodes[tag.nodes[parentId].refs[i]];
    Node& parent = tag.nodes[parentId];
    const std::uint8_t* greatest = &child.keys[(child.count() - 1) * keyLength];
    const std::uint32_t rec = child.recAt(child.count() - 1);
    std::uint8_t* stored = &parent.keys[i * keyLength];
    const bool keyChanged = std::memcmp(stored, greatest, keyLength) != 0;
    if (!keyChanged && parent.recs[i] == rec)
        return false;
    std::memcpy(stored, greatest, keyLength);
    parent.recs[i] = rec;
    if (keyChanged && i + 1 < parent.count())
        markDirty(tag, parentId);
    return true;
}

// Splits a node that has one entry too many and answers the new right half (kNoNode when the
// node fits). A node that grew at its end keeps all but the new entry, so keys added in order
// fill their nodes.
std::uint32_t MdxFile::splitIfFull(Tag& tag, std::uint32_t id, bool insertedAtEnd)
{
    if (tag.nodes[id].count() <= tag.capacity)
        return kNoNode;
    const std::uint32_t rightId = newNode(tag, tag.nodes[id].leaf);
    Node& left = tag.nodes[id];
    Node& right = tag.nodes[rightId];
    const std::size_t count = left.count();
    const std::size_t keep = insertedAtEnd ? count - 1 : (count + 1) / 2;
    const auto keyLength = static_cast<std::size_t>(tag.info.keyLength);
    right.keys.assign(left.keys.begin() + static_cast<std::ptrdiff_t>(keep * keyLength), left.keys.end());
    right.refs.assign(left.refs.begin() + static_cast<std::ptrdiff_t>(keep), left.refs.end());
    left.keys.resize(keep * keyLength);
    left.refs.resize(keep);
    if (!left.leaf) {
        right.recs.assign(left.recs.begin() + static_cast<std::ptrdiff_t>(keep), left.recs.end());
        left.recs.resize(keep);
    }
    markDirty(tag, id);
    return rightId;
}

void MdxFile::insert(int tagNo, const MdxKey& key, std::uint32_t recNo)
{
    Tag& tag = writableTag(tagNo, recNo);
    if (!tag.searchable)
        throw EngineError("El \xEDndice de la tabla " + tableName_ + " ordena la etiqueta " + tag.info.name +
                          " con un juego de caracteres desconocido (idioma " + hex(header_[kFileLanguage]) +
                          "); no se puede actualizar");
    const KeyBytes bytes = encode(tag, key);
    // A unique tag keeps only the first record of each key.
    if (tag.info.unique && find(tagNo, key) != 0)
        return;

    Position pos = locate(tag, bytes.data(), recNo);
    const auto keyLength = static_cast<std::size_t>(tag.info.keyLength);
    {
        Node& leaf = tag.nodes[pos.leaf];
        leaf.keys.insert(leaf.keys.begin() + static_cast<std::ptrdiff_t>(pos.index * keyLength), bytes.begin(),
                         bytes.begin() + static_cast<std::ptrdiff_t>(keyLength));
        leaf.refs.insert(leaf.refs.begin() + static_cast<std::ptrdiff_t>(pos.index), recNo);
        markDirty(tag, pos.leaf);
    }
    std::uint32_t current = pos.leaf;
    std::uint32_t right = splitIfFull(tag, current, pos.index + 1 == tag.nodes[current].count());
    for (auto step = pos.path.rbegin(); step != pos.path.rend(); ++step) {
        const auto [parentId, i] = *step;
        bool changed = refreshEntry(tag, parentId, i);
        if (right != kNoNode) {
            const Node& r = tag.nodes[right];
            const std::uint8_t* greatest = &r.keys[(r.count() - 1) * keyLength];
            const std::uint32_t greatestRec = r.recAt(r.count() - 1);
            std::vector<std::uint8_t> separator(greatest, greatest + keyLength);
            Node& parent = tag.nodes[parentId];
            parent.keys.insert(parent.keys.begin() + static_cast<std::ptrdiff_t>((i + 1) * keyLength),
                               separator.begin(), separator.end());
            parent.refs.insert(parent.refs.begin() + static_cast<std::ptrdiff_t>(i + 1), right);
            parent.recs.insert(parent.recs.begin() + static_cast<std::ptrdiff_t>(i + 1), greatestRec);
            markDirty(tag, parentId);
            right = splitIfFull(tag, parentId, i + 2 == tag.nodes[parentId].count());
            changed = true;
        }
        if (!changed)
            return;
        current = parentId;
    }
    if (right != kNoNode) {  // the root split: a new root above both halves
        const std::uint32_t rootId = newNode(tag, false);
        Node& root = tag.nodes[rootId];
        for (const std::uint32_t child : {current, right}) {
            const Node& c = tag.nodes[child];
            const std::uint8_t* greatest = &c.keys[(c.count() - 1) * keyLength];
            root.keys.insert(root.keys.end(), greatest, greatest + keyLength);
            root.recs.push_back(c.recAt(c.count() - 1));
            root.refs.push_back(child);
        }
        tag.root = rootId;
    }
}

void MdxFile::erase(int tagNo, const MdxKey& key, std::uint32_t recNo)
{
    Tag& tag = writableTag(tagNo, recNo);
    const KeyBytes bytes = encode(tag, key);
    Position pos;
    if (!findEntry(tag, bytes.data(), recNo, pos)) {
        if (tag.info.unique)
            return;  // a unique tag holds only the first record of a key
        damaged("etiqueta " + tag.info.name + ": falta la clave del registro " + std::to_string(recNo));
    }
    const auto keyLength = static_cast<std::size_t>(tag.info.keyLength);
    {
        Node& leaf = tag.nodes[pos.leaf];
        const auto at = static_cast<std::ptrdiff_t>(pos.index);
        leaf.keys.erase(leaf.keys.begin() + at * static_cast<std::ptrdiff_t>(keyLength),
                        leaf.keys.begin() + (at + 1) * static_cast<std::ptrdiff_t>(keyLength));
        leaf.refs.erase(leaf.refs.begin() + at);
        markDirty(tag, pos.leaf);
    }
    std::uint32_t current = pos.leaf;
    for (auto step = pos.path.rbegin(); step != pos.path.rend(); ++step) {
        const auto [parentId, i] = *step;
        bool changed = true;
        if (tag.nodes[current].count() == 0) {  // an empty node leaves its parent
            Node& parent = tag.nodes[parentId];
            const auto at = static_cast<std::ptrdiff_t>(i);
            parent.keys.erase(parent.keys.begin() + at * static_cast<std::ptrdiff_t>(keyLength),
                              parent.keys.begin() + (at + 1) * static_cast<std::ptrdiff_t>(keyLength));
            parent.refs.erase(parent.refs.begin() + at);
            parent.recs.erase(parent.recs.begin() + at);
            markDirty(tag, parentId);
            freeNode(tag, current);
        } else {
            changed = refreshEntry(tag, parentId, i);
        }
        if (!changed)
            break;
        current = parentId;
    }
    // A root left with one child gives way to it; one left with none becomes an empty leaf.
    while (!tag.nodes[tag.root].leaf && tag.nodes[tag.root].count() <= 1) {
        Node& root = tag.nodes[tag.root];
        if (root.count() == 0) {
            root.leaf = true;
            markDirty(tag, tag.root);
            break;
        }
        const std::uint32_t child = root.refs[0];
        freeNode(tag, tag.root);
        tag.root = child;
    }
}

// ---------------------------------------------------------------------------------------------
// Writing

void MdxFile::serialize(const Tag& tag, const Node& node, std::uint8_t* block) const
{
    std::memset(block, 0, static_cast<std::size_t>(blockBytes_));
    const std::size_t count = node.count();
    // An inner node counts its keys; its last entry, the rightmost child, is not counted.
    put32(block + kNodeCount, static_cast<std::uint32_t>(node.leaf ? count : count - 1));
    const auto keyLength = static_cast<std::size_t>(tag.info.keyLength);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* entry = block + kNodeEntries + i * static_cast<std::size_t>(tag.entryLength);
        put32(entry, node.leaf ? node.refs[i] : tag.nodes[node.refs[i]].page);
        std::memcpy(entry + kEntryNumberBytes, &node.keys[i * keyLength], keyLength);
    }
}

void MdxFile::writeAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size)
{
    if (const int error = file_->writeAt(offset, data, size))
        throw FileError(windowsErrorCode(error));
    fileBytes_ = std::max<std::uint64_t>(fileBytes_, offset + size);
}

// The pages are written in an order that keeps every key findable if the writing stops part
// way (a crash, a kill): first the nodes on pages new to the file, which nothing on disk points
// at yet; then the file's page count and the tag headers, which may point at a new root; then
// the nodes already on disk, parents before children, so a node that a split shrank is written
// after the nodes that now hold its moved keys. A reader of a file cut short in between finds
// some keys twice, never one missing.
void MdxFile::flush()
{
    if (!writable_ || !loaded_ || !changed_)
        return;
    // Another program may have cut the file under us: writing pages into it then would leave
    // holes of zeros where the rest of the tree was.
    files::FileStatus info;
    if (const int error = file_->status(info))
        throw FileError(windowsErrorCode(error));
    if (info.size < fileBytes_)
        damaged("otro programa ha acortado el archivo mientras estaba abierto");
    std::vector<std::uint8_t>& block = blockBuffer_;
    block.resize(static_cast<std::size_t>(blockBytes_));
    auto writeNode = [&](const Tag& tag, Node& node) {
        serialize(tag, node, block.data());
        writeAt(static_cast<std::uint64_t>(node.page) * kPageBytes, block.data(), block.size());
        node.dirty = false;
    };

    const std::uint32_t pagesOnDisk = get32(&header_[kFilePages]);
    for (Tag& tag : tags_)
        for (const std::uint32_t id : tag.dirty) {
            Node& node = tag.nodes[id];
            if (node.live && node.dirty && node.page >= pagesOnDisk)
                writeNode(tag, node);
        }
    // Blocks taken and freed again before any flush were never written: the file must still
    // reach the page count in its header.
    const std::uint64_t wanted = static_cast<std::uint64_t>(filePages_) * kPageBytes;
    if (fileBytes_ < wanted) {
        if (const int error = file_->truncate(wanted))
            throw FileError(windowsErrorCode(error));
        fileBytes_ = wanted;
    }
    if (pagesOnDisk != filePages_) {
        put32(&header_[kFilePages], filePages_);
        stampDate(&header_[kFileUpdated]);
        writeAt(0, header_.data(), header_.size());
    }
    for (Tag& tag : tags_) {
        const std::uint32_t rootPage = tag.nodes[tag.root].page;
        const std::uint32_t pages = kHeaderPages + blockPages_ * tag.liveNodes;
        if (get32(&tag.header[kTagRoot]) != rootPage || get32(&tag.header[kTagPages]) != pages) {
            put32(&tag.header[kTagRoot], rootPage);
            put32(&tag.header[kTagPages], pages);
            writeAt(static_cast<std::uint64_t>(tag.headerPage) * kPageBytes, tag.header.data(), tag.header.size());
        }
    }
    // A change marks nodes from the leaf up: the reverse is parents first.
    for (Tag& tag : tags_) {
        for (auto it = tag.dirty.rbegin(); it != tag.dirty.rend(); ++it) {
            Node& node = tag.nodes[*it];
            if (node.live && node.dirty)
                writeNode(tag, node);
        }
        tag.dirty.clear();
    }
}

// ---------------------------------------------------------------------------------------------
// A new file

// The tag table's threads: each tag is put into a binary tree of tag names in the order the tags
// were made, and records its left and right children and its parent (tag numbers from 1).
void threadTags(std::vector<std::uint8_t>& header, const std::vector<std::string>& names)
{
    auto entry = [&](std::size_t i) { return &header[kTagTableBase + kTagSize7 + i * kTagSize7]; };
    for (std::size_t i = 1; i < names.size(); ++i) {
        std::size_t at = 0;
        for (;;) {
            const int side = names[i] < names[at] ? 1 : 2;  // left thread, right thread
            std::uint8_t& link = entry(at)[kTagAfterName7 + side];
            if (link == 0) {
                link = static_cast<std::uint8_t>(i + 1);
                entry(i)[kTagAfterName7 + 3] = static_cast<std::uint8_t>(at + 1);
                break;
            }
            at = link - 1u;
        }
    }
}

}  // namespace

std::unique_ptr<MdxIndex> MdxIndex::create(const std::string& path, const std::vector<MdxTag>& tags,
                                           int languageId)
{
    const std::string table = nameFromPath(path);
    auto refuse = [&](const std::string& cause) {
        throw EngineError("No se puede crear el \xEDndice de la tabla " + table + ": " + cause);
    };
    if (tags.empty() || tags.size() > static_cast<std::size_t>(kMaxTags7))
        refuse("admite de 1 a " + std::to_string(kMaxTags7) + " etiquetas");
    if (languageId < 0 || languageId > 255 || !collationForLanguage(languageId).known)
        refuse("no se conoce el orden del idioma " + std::to_string(languageId));

    // The header, then for each tag its header block and an empty root leaf (all zeros).
    const std::uint32_t blockPages = kBlockBytes / kPageBytes;
    const auto filePages = static_cast<std::uint32_t>(kHeaderPages + tags.size() * 2 * blockPages);
    std::vector<std::uint8_t> file(static_cast<std::size_t>(filePages) * kPageBytes, 0);
    std::uint8_t* h = file.data();
    h[kFileVersion] = kVersionLevel7;
    stampDate(h + kFileCreated);
    const std::string dataName = table.substr(0, 15);
    std::memcpy(h + kFileDataName, dataName.data(), dataName.size());
    put16(h + kFileBlockPages, kBlockBytes / kPageBytes);
    put16(h + kFileBlockBytes, kBlockBytes);
    h[kFileProduction] = 1;
    h[kFileMaxTags] = kMaxTagsWord;
    h[kFileTagSize] = kTagSize7;
    put16(h + kFileTagsUsed, static_cast<std::uint32_t>(tags.size()));
    h[kFileLanguage] = static_cast<std::uint8_t>(languageId);
    stampDate(h + kFileUpdated);
    h[kFileTagFlag] = 1;

    put32(h + kFilePages, filePages);
    std::vector<std::string> names;
    std::uint32_t nextPage = kHeaderPages;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const MdxTag& tag = tags[i];
        const std::string name = upperAscii(tag.name);
        if (name.empty() || name.size() > static_cast<std::size_t>(kMaxNameLength7))
            refuse("nombre de etiqueta no v\xE1lido \"" + tag.name + "\"");
        if (std::find(names.begin(), names.end(), name) != names.end())
            refuse("etiqueta repetida " + name);
        names.push_back(name);
        int keyLength = tag.keyLength;
        if (tag.keyType == 'N')
            keyLength = kNumericKeyLength;
        else if (tag.keyType == 'D')
            keyLength = kDateKeyLength;
        else if (tag.keyType != 'C' || keyLength < 1 || keyLength > kMaxKeyLength)
            refuse("la etiqueta " + name + " tiene una clave no v\xE1lida");
        const std::string field = upperAscii(tag.field).substr(0, kTagExpressionBytes - 1);
        if (field.empty())
            refuse("la etiqueta " + name + " no dice su campo");

        const std::uint32_t headerPage = nextPage;
        const std::uint32_t rootPage = nextPage + blockPages;
        nextPage += 2 * blockPages;

        std::uint8_t* entry = h + kTagTableBase + kTagSize7 + i * kTagSize7;
        put32(entry + kTagHeaderBlock, headerPage);
        std::memcpy(entry + kTagName, name.data(), name.size());
        entry[kTagAfterName7] = kTagTableDataField;
        entry[kTagAfterName7 + 4] = kTagTableReserved;
        entry[kTagAfterName7 + 5] = static_cast<std::uint8_t>(tag.keyType);

        std::uint8_t* th = &file[static_cast<std::size_t>(headerPage) * kPageBytes];
        const int entryBytes = entryLength(keyLength);
        std::uint8_t format = tag.keyType == 'C' ? kFormatString : 0;
        if (tag.descending)
            format |= kFormatDescending;
        if (tag.unique)
            format |= kFormatUnique;
        put32(th + kTagRoot, rootPage);
        put32(th + kTagPages, kHeaderPages + blockPages);
        th[kTagKeyFormat] = format;
        th[kTagKeyType] = static_cast<std::uint8_t>(tag.keyType);
        put16(th + kTagKeyLength, static_cast<std::uint32_t>(keyLength));
        put16(th + kTagMaxKeys, static_cast<std::uint32_t>((kBlockBytes - kNodeEntries) / entryBytes));
        put16(th + kTagDateFlag, tag.keyType == 'D' ? 1 : 0);
        put16(th + kTagEntryLength, static_cast<std::uint32_t>(entryBytes));
        put16(th + kTagVersion, 2);
        th[kTagUnique] = tag.unique ? 1 : 0;
        std::memcpy(th + kTagExpression, field.data(), field.size());
        th[kTagKeyExists] = 1;
    }
    threadTags(file, names);

    // Written beside the old file and then put in its place: an index still open on the old
    // file keeps writing to that, never into the new one, and a failed write replaces nothing.
    files::FileSystem& fs = files::fileSystem();
    static std::atomic<unsigned> counter{0};  // indexes may be made on two threads at once
    std::string temporary;
    std::unique_ptr<files::File> out;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary = path + "." + std::to_string(files::processId()) + "." + std::to_string(++counter);
        error = fs.open(temporary, files::OpenMode::CreateNew, files::Sharing::None, out);
    }
    if (error != 0)
        refuse(fileErrorText(windowsErrorCode(error)));
    error = out->writeAt(0, file.data(), file.size());
    out.reset();
    if (error == 0)
        error = fs.rename(temporary, path);
    if (error != 0) {
        fs.remove(temporary);
        refuse(fileErrorText(windowsErrorCode(error)));
    }
    return open(path, true, table, languageId);
}

std::unique_ptr<MdxIndex> MdxIndex::open(const std::string& path, bool writable, const std::string& tableName,
                                         int tableLanguageId, files::Sharing sharing)
{
    auto index = std::make_unique<MdxFile>(path, tableName, writable, sharing);
    index->load(tableLanguageId);
    return index;
}

}  // namespace store
