#include "tools/rootcut/wordsplit.h"

#include "tools/rootcut/urootcut.h"

#include <array>
#include <cstdint>
#include <limits>

namespace corvane {
namespace {

const std::array<bool, 256>& PunctMarks()
{
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        for (unsigned char c : std::string_view(" \"#$%&'()+,-./:;<=>?@\\^_{}~"))
            t[c] = true;
        return t;
    }();
    return table;
}

} // namespace

bool IsPunctMark(unsigned char c)
{
    return PunctMarks()[c];
}

void StemWords(std::string_view text, std::string& out)
{
    if (text.empty())
        return;
    // "{w} " takes at most twice the bytes of "w" and its separator: size the output once,
    // copy each word as it is scanned and stem it there in place.
    const size_t used = out.size();
    out.resize(used + 2 * text.size());
    char* p = out.data() + used;
    const auto& punct = PunctMarks();
    auto isPunct = [&punct](char c) { return punct[static_cast<unsigned char>(c)]; };
    const char* const data = text.data();
    const size_t end = text.size() - 1;
    size_t i = 0;
    for (;;) {
        while (i < end && isPunct(data[i]))
            ++i;
        if (i == end)
            break;
        *p++ = '{';
        char* const word = p;
        while (i < end && !isPunct(data[i]))
            *p++ = data[i++];
        if (static_cast<size_t>(p - word) <=
            static_cast<size_t>(std::numeric_limits<int32_t>::max()))
            p = word + fRootcut(word, 0, static_cast<int32_t>(p - word) - 1) + 1;
        *p++ = '}';
        *p++ = ' ';
    }
    out.resize(static_cast<size_t>(p - out.data()));
}

} // namespace corvane
