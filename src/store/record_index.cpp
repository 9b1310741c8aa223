#include "store/record_index.h"

#include "store/field_codec.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace store {

namespace {

// Each part of a key is self-delimiting: 'S' + 2-byte length + bytes, 'N' + 8 bytes of the
// double, or one byte 'B' (blank), 'T', 'F'.
void appendText(std::string& key, std::string_view text)
{
    key += 'S';
    key += static_cast<char>(text.size() & 0xFF);
    key += static_cast<char>(text.size() >> 8);
    key += text;
}

bool appendNumber(std::string& key, double v)
{
    if (std::isnan(v))
        return false;
    if (v == 0)
        v = 0;  // -0 equals 0
    char bytes[sizeof v];
    std::memcpy(bytes, &v, sizeof v);
    key += 'N';
    key.append(bytes, sizeof bytes);
    return true;
}

std::string_view dropTrailingBlanks(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

bool textOfValue(const Value& value, std::string& out)
{
    if (const auto* s = std::get_if<std::string>(&value))
        out = *s;
    else if (const auto* d = std::get_if<double>(&value))
        out = codec::formatNumber(*d);
    else
        out.assign(1, std::get<bool>(value) ? 'T' : 'F');
    return true;
}

// A number value; `blank` when it is the empty text. False when it can never equal a number.
bool numberOfValue(const Value& value, double& out, bool& blank)
{
    blank = false;
    if (const auto* d = std::get_if<double>(&value)) {
        out = *d;
        return !std::isnan(out);
    }
    if (const auto* b = std::get_if<bool>(&value)) {
        out = *b ? 1 : 0;
        return true;
    }
    const std::string& s = std::get<std::string>(value);
    if (s.find_first_not_of(' ') == std::string::npos) {
        blank = true;
        return true;
    }
    const auto v = codec::parseNumber(s);
    if (!v)
        return false;
    out = *v;
    return true;
}

}  // namespace

RecordIndex::RecordIndex(std::vector<KeyPart> parts) : parts_(std::move(parts)) {}

bool RecordIndex::recordKey(const unsigned char* record, std::string& key) const
{
    key.clear();
    for (const KeyPart& part : parts_) {
        const dbf::Field& f = part.field;
        switch (part.rule) {
        case MatchRule::KeyText: {
            const int length = std::min(part.keyLength, f.def.size);
            appendText(key, dropTrailingBlanks({reinterpret_cast<const char*>(record + f.offset),
                                                static_cast<std::size_t>(length)}));
            break;
        }
        case MatchRule::KeyNumber: {
            double v = 0;
            try {
                v = codec::readNumber(f, record).value_or(0);
            } catch (const codec::ValueError&) {
                return false;
            }
            appendNumber(key, v);
            break;
        }
        case MatchRule::Value:
            switch (codec::kindOf(f.def.type)) {
            case codec::Kind::Number:
                try {
                    const auto v = codec::readNumber(f, record);
                    if (!v)
                        key += 'B';
                    else if (!appendNumber(key, *v))
                        return false;
                } catch (const codec::ValueError&) {
                    return false;  // an unreadable number equals nothing
                }
                break;
            case codec::Kind::Logical: {
                const auto v = codec::readLogical(f, record);
                key += !v ? 'B' : *v ? 'T' : 'F';
                break;
            }
            case codec::Kind::Timestamp:
                try {
                    appendText(key, codec::readText(f, record));
                } catch (const codec::ValueError&) {
                    return false;
                }
                break;
            default:
                appendText(key, codec::storedText(f, record));
            }
        }
    }
    return true;
}

bool RecordIndex::valueKey(const std::vector<Value>& values, std::string& key) const
{
    key.clear();
    if (values.size() != parts_.size())
        return false;
    std::string text;
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        const KeyPart& part = parts_[i];
        const Value& value = values[i];
        double number = 0;
        bool blank = false;
        switch (part.rule) {
        case MatchRule::KeyText: {
            textOfValue(value, text);
            std::string_view t(text);
            const auto length = static_cast<std::size_t>(std::min(part.keyLength, part.field.def.size));
            if (t.size() > length) {
                if (t.substr(length).find_first_not_of(' ') != std::string_view::npos)
                    return false;  // longer than the key: no record holds it
                t = t.substr(0, length);
            }
            appendText(key, dropTrailingBlanks(t));
            break;
        }
        case MatchRule::KeyNumber:
            if (!numberOfValue(value, number, blank))
                return false;
            appendNumber(key, blank ? 0 : number);
            break;
        case MatchRule::Value:
            switch (codec::kindOf(part.field.def.type)) {
            case codec::Kind::Number:
                if (!numberOfValue(value, number, blank))
                    return false;
                if (blank)
                    key += 'B';
                else
                    appendNumber(key, number);
                break;
            case codec::Kind::Logical:
                if (const auto* b = std::get_if<bool>(&value)) {
                    key += *b ? 'T' : 'F';
                } else if (const auto* d = std::get_if<double>(&value)) {
                    key += *d != 0 ? 'T' : 'F';
                } else {
                    const std::string& s = std::get<std::string>(value);
                    const auto first = s.find_first_not_of(' ');
                    if (first == std::string::npos) {
                        key += 'B';
                        break;
                    }
                    const char c = s[first];
                    if (std::strchr("TtYySs", c))
                        key += 'T';
                    else if (std::strchr("FfNn", c))
                        key += 'F';
                    else
                        return false;
                }
                break;
            default: {
                std::string_view t;
                if (const auto* s = std::get_if<std::string>(&value)) {
                    t = *s;
                } else {
                    textOfValue(value, text);
                    t = text;
                }
                if (t.size() > static_cast<std::size_t>(part.field.def.size) &&
                    codec::kindOf(part.field.def.type) != codec::Kind::Timestamp)
                    return false;  // longer than the field: no record holds it
                appendText(key, t);
            }
            }
        }
    }
    return true;
}

bool RecordIndex::build(RecordStore& records)
{
    keys_ = {};
    lists_.clear();
    for (std::uint32_t r = 1; r <= records.count(); ++r) {
        const unsigned char* record = records.at(r);
        if (!record)
            return false;
        add(r, record);
    }
    return true;
}

void RecordIndex::add(std::uint32_t recNo, const unsigned char* record)
{
    if (!recordKey(record, scratch_))
        return;
    Records& of = keys_.add(scratch_);
    if (of.list == kNoList) {
        if (of.single == 0) {
            of.single = recNo;
            return;
        }
        of.list = static_cast<std::uint32_t>(lists_.size());
        lists_.push_back({of.single});
        of.single = 0;
    }
    auto& list = lists_[of.list];
    if (list.back() < recNo)
        list.push_back(recNo);
    else
        list.insert(std::lower_bound(list.begin(), list.end(), recNo), recNo);
}

void RecordIndex::remove(std::uint32_t recNo, std::string_view key)
{
    Records* const found = keys_.find(key);
    if (!found)
        return;
    Records& of = *found;
    if (of.list == kNoList) {
        if (of.single == recNo)
            of.single = 0;  // the key stays, with no record
        return;
    }
    auto& list = lists_[of.list];
    const auto pos = std::lower_bound(list.begin(), list.end(), recNo);
    if (pos != list.end() && *pos == recNo)
        list.erase(pos);
}

void RecordIndex::change(std::uint32_t recNo, const unsigned char* before, const unsigned char* after)
{
    std::string oldKey, newKey;
    const bool hadKey = recordKey(before, oldKey);
    const bool hasKey = recordKey(after, newKey);
    if (hadKey == hasKey && oldKey == newKey)
        return;
    if (hadKey)
        remove(recNo, oldKey);
    if (hasKey)
        add(recNo, after);
}

std::span<const std::uint32_t> RecordIndex::find(const std::vector<Value>& values) const
{
    if (keys_.size() == 0 || !valueKey(values, scratch_))
        return {};
    return recordsOf(scratch_);
}

std::span<const std::uint32_t> RecordIndex::findText(std::string_view text) const
{
    // A text compared with a text field, as valueKey makes its key; other cases take find's way.
    const codec::Kind kind = parts_.size() == 1 ? codec::kindOf(parts_[0].field.def.type) : codec::Kind::Number;
    if (parts_.size() != 1 || parts_[0].rule != MatchRule::Value || kind == codec::Kind::Number ||
        kind == codec::Kind::Logical)
        return find({Value(std::string(text))});
    if (keys_.size() == 0)
        return {};
    if (text.size() > static_cast<std::size_t>(parts_[0].field.def.size) && kind != codec::Kind::Timestamp)
        return {};  // longer than the field: no record holds it
    scratch_.clear();
    appendText(scratch_, text);
    return recordsOf(scratch_);
}

std::span<const std::uint32_t> RecordIndex::recordsOf(std::string_view key) const
{
    const Records* const found = keys_.find(key);
    if (!found)
        return {};
    const Records& of = *found;
    if (of.list == kNoList)
        return of.single ? std::span<const std::uint32_t>(&of.single, 1) : std::span<const std::uint32_t>();
    return lists_[of.list];
}

}  // namespace store
