#pragma once

#include <cstddef>
#include <utility>

// Sorts in place by a key of `digits` bytes, greatest first: the items are put in order of the
// key's most significant byte, each group of equal bytes by the next, and so on, a byte at a time
// (American flag sort). A group of at most `smallGroup` items, or one whose key bytes are all the
// same, is handed to finish(first, last), which puts it in its final order. Most of a ranking's
// words are counted once and told apart by their first bytes only: a pass or two over them costs
// less than the comparisons of a sort, and needs no memory besides.
//
// digitOf(item, level) gives the key's byte at `level`, 0 the most significant.
template <class Iterator, class DigitOf, class Finish>
void sortByDigitsDescending(Iterator first, Iterator last, int digits, DigitOf digitOf,
                            Finish finish, int level = 0) {
    constexpr std::ptrdiff_t smallGroup = 64;
    if (last - first <= smallGroup || level == digits) {
        if (last - first > 1) finish(first, last);
        return;
    }
    std::ptrdiff_t counts[256] = {};
    for (Iterator item = first; item != last; ++item) ++counts[digitOf(*item, level)];
    Iterator heads[256];
    Iterator ends[256];
    Iterator next = first;
    for (int digit = 255; digit >= 0; --digit) {
        heads[digit] = next;
        next += counts[digit];
        ends[digit] = next;
    }
    // Each item out of place is swapped into the next free place of its group, until the place
    // being filled gets an item of its own group.
    for (int digit = 255; digit >= 0; --digit) {
        while (heads[digit] != ends[digit]) {
            auto item = std::move(*heads[digit]);
            for (int own; (own = digitOf(item, level)) != digit;) std::swap(item, *heads[own]++);
            *heads[digit]++ = std::move(item);
        }
    }
    for (int digit = 255; digit >= 0; --digit)
        sortByDigitsDescending(ends[digit] - counts[digit], ends[digit], digits, digitOf, finish,
                               level + 1);
}
