#include "prep/wordextract.h"

namespace corvane {
namespace {

bool IsTerminator(char c)
{
    return c == '.' || c == '?' || c == '|' || c == '}';
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

void ExtractWords(std::string_view text, std::vector<std::string_view>& words)
{
    words.clear();
    size_t at = 0;
    while ((at = text.find('{', at)) != std::string_view::npos) {
        const size_t start = at + 1;
        size_t end = start;
        while (end < text.size() && !IsTerminator(text[end]))
            ++end;
        std::string_view word;
        if (end == text.size()) {
            // An unterminated word loses the text's last character.
            if (start + 1 < text.size())
                word = text.substr(start, text.size() - 1 - start);
            at = text.size();
        } else {
            word = text.substr(start, end - start);
            at = end + 1;
        }
        word = Trim(word);
        if (!word.empty())
            words.push_back(word);
    }
    if (words.empty())
        words.push_back(kNoWordsMarker);
}

} // namespace corvane
