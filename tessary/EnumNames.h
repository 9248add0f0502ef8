// The names of an enumeration's values, spelled once where the values are listed
// (VIGREL_ENUM_NAMES), so that a table of names cannot fall out of step with its enumeration:
// published enumeration properties and the host stand-in's statement words are named so.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <stdexcept>
#include <string_view>
#include <type_traits>

namespace vigrel {

// Whether `values` holds each value 0 .. N-1 of E once. The values of an Enumeration property are
// 0, 1, ... in declaration order, so a missing enumerator shows as a value past N-1 (unless it is
// the last one) and a repeated one as a value given twice.
template <class E, std::size_t N>
constexpr bool NamesEachValueOnce(const std::array<E, N>& values) {
    static_assert(std::is_enum_v<E>, "the names are the names of an enumeration's values");
    std::array<bool, N> named{};
    for (const E value : values) {
        const auto index = static_cast<std::size_t>(value);
        if (index >= N || named[index]) {
            return false;
        }
        named[index] = true;
    }
    return true;
}

// The names of the values of E, indexed by value; made by VIGREL_ENUM_NAMES.
template <class E, std::size_t N> class EnumNameTable {
public:
    constexpr const std::string_view* begin() const { return byValue_.data(); }
    constexpr const std::string_view* end() const { return byValue_.data() + N; }
    constexpr std::size_t size() const { return N; }
    constexpr std::string_view operator[](E value) const {
        return byValue_[static_cast<std::size_t>(value)];
    }

private:
    template <class F, std::size_t M>
    friend consteval EnumNameTable<F, M> EnumNames(const std::array<F, M>& values,
                                                   std::string_view spelled);

    std::array<std::string_view, N> byValue_{};
};

// The table of `values` named as `spelled` spells them, one identifier each, separated by commas.
template <class E, std::size_t N>
consteval EnumNameTable<E, N> EnumNames(const std::array<E, N>& values, std::string_view spelled) {
    if (!NamesEachValueOnce(values)) {
        throw std::logic_error("the enumerators do not name each value of the enumeration once");
    }
    EnumNameTable<E, N> table;
    for (const E value : values) {
        spelled.remove_prefix(std::min(spelled.find_first_not_of(", "), spelled.size()));
        const std::size_t length = std::min(spelled.find_first_of(", "), spelled.size());
        table.byValue_[static_cast<std::size_t>(value)] = spelled.substr(0, length);
        spelled.remove_prefix(length);
    }
    return table;
}

// The names of the values of the enumeration E, each the spelling of its enumerator, indexed by
// value: VIGREL_ENUM_NAMES(TPanelBevel, bvNone, bvLowered, bvRaised). The enumerators may come in
// any order; a list that misses or repeats a value does not compile, so reordering the
// enumeration cannot shift its names.
#define VIGREL_ENUM_NAMES(E, ...)                                                                  \
    ::vigrel::EnumNames<E>(                                                                        \
        [] {                                                                                       \
            using enum E;                                                                          \
            return std::array{__VA_ARGS__};                                                        \
        }(),                                                                                       \
        #__VA_ARGS__)

} // namespace vigrel
