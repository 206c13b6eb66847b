#include "prep/stopwordlist.h"

#include "platform/codepage.h"

#include <fstream>
#include <iterator>
#include <string_view>

namespace corvane {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

bool IsUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t extra;
        if (c < 0x80)
            extra = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            extra = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            extra = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            extra = 3;
        else
            return false;
        if (i + extra >= s.size() && extra > 0)
            return false;
        for (size_t k = 1; k <= extra; ++k)
            if (!IsContinuation(static_cast<unsigned char>(s[i + k])))
                return false;
        i += extra + 1;
    }
    return true;
}

} // namespace

bool LoadStopWordList(const std::string& path, std::vector<std::string>& words, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::string text(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    if (text.starts_with(kUtf8Bom))
        text = Utf8ToCp1251(std::string_view(text).substr(kUtf8Bom.size()));
    else if (IsUtf8(text))
        text = Utf8ToCp1251(text);

    words.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        words.emplace_back(line);
        start = end + 1;
    }
    return true;
}

bool SaveWordList(const std::string& path, const std::vector<std::string>& words,
                  std::string& error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& w : words)
        out << w << "\r\n";
    out.flush();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace corvane
