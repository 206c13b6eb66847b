#include "prep/tagremoval.h"

#include "platform/codepage.h"

namespace corvane {
namespace {

// Replaces every occurrence of `needle` (already lower case), matched without regard to
// Windows-1251 letter case, by `replacement`.
std::string ReplaceIgnoringCase(const std::string& text, const std::string& needle,
                                std::string_view replacement)
{
    const std::string lower = LowerCp1251(text);
    std::string out;
    size_t from = 0;
    for (size_t at = lower.find(needle); at != std::string::npos; at = lower.find(needle, from)) {
        out.append(text, from, at - from);
        out.append(replacement);
        from = at + needle.size();
    }
    if (from == 0)
        return text;
    out.append(text, from);
    return out;
}

} // namespace

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

std::string RemoveTags(std::string_view raw, const std::vector<std::string>& trashLines)
{
    std::string text;
    text.reserve(raw.size());
    bool inTag = false;
    for (const char ch : raw) {
        if (ch == '>') {
            inTag = false;
        } else if (ch == '<') {
            inTag = true;
        } else if (inTag || ch == '\n' || ch == '\0') {
            continue;
        } else if (ch == '\r') {
            text += ' ';
        } else {
            if (ch == '\t')
                text += ' ';
            text += ch;
        }
    }
    text = ReplaceIgnoringCase(text, "&shy;", "");
    for (const auto& line : trashLines) {
        const std::string fragment = LowerCp1251(TrimBlanks(line));
        if (!fragment.empty())
            text = ReplaceIgnoringCase(text, fragment, " ");
    }
    return std::string(TrimBlanks(text));
}

} // namespace corvane
