#pragma once

#include <string_view>

// The key of one keyed text ("IDS_BR_<n>"). The code names its texts by the
// constants of store/TextKeys.h (Text::itemTitle), generated from the English
// table while building, so each use shows which text it is.
//
// A key is made at compile time only: from a constant, or from a literal
// (tests that fill a table of their own). A malformed literal does not compile.
class TextKey final
{
public:
    consteval TextKey(const char *key)
        : m_key(key)
    {
        constexpr std::string_view prefix = "IDS_BR_";
        const std::string_view text(key);
        if (!text.starts_with(prefix) || text.size() == prefix.size()
            || text.find_first_not_of("0123456789", prefix.size()) != std::string_view::npos)
            throw "a keyed text's key has the form IDS_BR_<n>";
    }

    constexpr const char *key() const noexcept { return m_key; }

    friend constexpr bool operator==(TextKey a, TextKey b) noexcept
    {
        return std::string_view(a.m_key) == std::string_view(b.m_key);
    }

private:
    const char *m_key;
};
