// A map from texts, compared byte for byte, to values kept beside them: the distinct keys of an
// in-memory index, the codes a builder met. Open addressing over the texts kept one after
// another: a question mostly touches one slot, where the value is too, and the text's bytes,
// where a node-based map chases several pointers; nothing is allocated per text.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace store {

template <typename Value>
class TextMap {
public:
    // The text's value, a new one (Value{}) when the text is new; `added` (when given) tells
    // whether it was. Valid until the next add.
    Value& add(std::string_view text, bool* added = nullptr)
    {
        if ((count_ + 1) * 2 > slots_.size())
            grow();
        const std::uint64_t hash = std::hash<std::string_view>()(text);
        Slot& s = slots_[slotOf(text, hash)];
        const bool isNew = s.at == kFree;
        if (added)
            *added = isNew;
        if (isNew) {
            s = {hash, static_cast<std::uint32_t>(texts_.size()), static_cast<std::uint32_t>(text.size()), Value{}};
            texts_ += text;
            ++count_;
        }
        return s.value;
    }

    // The text's value, or nullptr when it was never added. Valid until the next add.
    const Value* find(std::string_view text) const
    {
        if (slots_.empty())
            return nullptr;
        const Slot& s = slots_[slotOf(text, std::hash<std::string_view>()(text))];
        return s.at == kFree ? nullptr : &s.value;
    }
    Value* find(std::string_view text) { return const_cast<Value*>(std::as_const(*this).find(text)); }
    bool contains(std::string_view text) const { return find(text) != nullptr; }
    std::size_t size() const { return count_; }

private:
    static constexpr std::uint32_t kFree = UINT32_MAX;
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t at = kFree;  // where the text starts in texts_; kFree: a free slot
        std::uint32_t length = 0;
        Value value{};
    };

    // The text's slot, or the free one where it would go.
    std::size_t slotOf(std::string_view text, std::uint64_t hash) const
    {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& s = slots_[i];
            if (s.at == kFree ||
                (s.hash == hash && s.length == text.size() && std::memcmp(texts_.data() + s.at, text.data(), s.length) == 0))
                return i;
        }
    }

    void grow()
    {
        std::vector<Slot> old(std::max<std::size_t>(16, slots_.size() * 2));
        old.swap(slots_);
        const std::size_t mask = slots_.size() - 1;
        for (Slot& s : old) {
            if (s.at == kFree)
                continue;
            std::size_t i = s.hash & mask;
            while (slots_[i].at != kFree)
                i = (i + 1) & mask;
            slots_[i] = std::move(s);
        }
    }

    std::vector<Slot> slots_;  // a power of two in size, at most half full
    std::size_t count_ = 0;
    std::string texts_;
};

}  // namespace store
