// A set of texts, compared byte for byte, each numbered in the order it was added (a TextMap of
// the numbers).
#pragma once

#include "store/text_map.h"

#include <cstdint>
#include <string_view>

namespace store {

class TextSet {
public:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // The text's number, from 0 in the order the texts were added; a new text is added, and
    // `added` (when given) tells whether it was.
    std::uint32_t add(std::string_view text, bool* added = nullptr)
    {
        bool isNew = false;
        std::uint32_t& number = numbers_.add(text, &isNew);
        if (isNew)
            number = static_cast<std::uint32_t>(numbers_.size() - 1);
        if (added)
            *added = isNew;
        return number;
    }
    // The text's number, or kNone when it was never added.
    std::uint32_t find(std::string_view text) const
    {
        const std::uint32_t* number = numbers_.find(text);
        return number ? *number : kNone;
    }
    bool contains(std::string_view text) const { return numbers_.contains(text); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(numbers_.size()); }

private:
    TextMap<std::uint32_t> numbers_;
};

}  // namespace store
