#include "platform/userlocale.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace corvane {
namespace {

std::atomic<char> g_Separator{0};

// Languages whose regional settings write a decimal comma, for machines where the user's
// locale is named but not generated (newlocale fails there).
bool LanguageUsesComma(std::string_view lang)
{
    static constexpr std::string_view kComma[] = {
        "ru", "uk", "be", "kk", "bg", "sr", "mk", "de", "fr", "es", "it", "pt", "nl", "pl",
        "cs", "sk", "sl", "hr", "bs", "ro", "hu", "fi", "sv", "nb", "nn", "no", "da", "et",
        "lv", "lt", "el", "tr", "az", "ka", "hy", "id", "vi", "ca", "gl", "eu", "is", "uz"};
    const std::string_view code = lang.substr(0, lang.find_first_of("_.@"));
    for (auto c : kComma)
        if (code == c)
            return true;
    return false;
}

char DetectSeparator()
{
    const char* name = nullptr;
    for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) {
            name = v;
            break;
        }
    }
    if (!name)
        return '.';
    if (locale_t loc = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(0))) {
        const char* radix = nl_langinfo_l(RADIXCHAR, loc);
        const char sep = (radix && radix[0] == ',') ? ',' : '.';
        freelocale(loc);
        return sep;
    }
    return LanguageUsesComma(name) ? ',' : '.';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' ||
                          s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

bool ParseWithSeparator(std::string_view text, char sep, double& value)
{
    std::string s(text);
    if (sep != '.') {
        if (s.find('.') != std::string::npos)
            return false;
        for (char& c : s)
            if (c == sep)
                c = '.';
    }
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    double v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size())
        return false;
    value = v;
    return true;
}

void ApplySeparator(std::string& s)
{
    const char sep = UserDecimalSeparator();
    if (sep != '.')
        for (char& c : s)
            if (c == '.')
                c = sep;
}

} // namespace

char UserDecimalSeparator()
{
    char sep = g_Separator.load(std::memory_order_relaxed);
    if (sep == 0) {
        sep = DetectSeparator();
        g_Separator.store(sep, std::memory_order_relaxed);
    }
    return sep;
}

void SetUserDecimalSeparator(char separator)
{
    g_Separator.store(separator, std::memory_order_relaxed);
}

std::string FormatCellNumber(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    // Eight significant digits first, then five decimals of what is left.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 7);
    double rounded = 0;
    std::from_chars(buf, res.ptr, rounded);
    std::string out;
    if (std::fabs(rounded) >= 1e8) {
        // "d.ddddddde+XX" -> "d.dddddddE+0XX"
        std::string sci(buf, res.ptr);
        const size_t e = sci.find('e');
        const char sign = sci[e + 1];
        std::string digits = sci.substr(e + 2);
        while (digits.size() < 3)
            digits.insert(0, "0");
        out = sci.substr(0, e) + "E" + sign + digits;
    } else {
        res = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, 5);
        out.assign(buf, res.ptr);
        if (out == "-0.00000")
            out = "0.00000";
    }
    ApplySeparator(out);
    return out;
}

std::string FormatFixed(double value, int decimals)
{
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    std::string out = res.ec == std::errc() ? std::string(buf, res.ptr) : std::string("0");
    ApplySeparator(out);
    return out;
}

std::string FormatGeneral(double value)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string out(buf, res.ptr);
    ApplySeparator(out);
    return out;
}

bool ParseUserDecimal(std::string_view text, double& value)
{
    text = Trim(text);
    if (text.empty())
        return false;
    const char sep = UserDecimalSeparator();
    const char other = sep == ',' ? '.' : ',';
    return ParseWithSeparator(text, sep, value) || ParseWithSeparator(text, other, value);
}

bool ParseInt32(std::string_view text, int32_t& value)
{
    text = Trim(text);
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    int32_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return false;
    value = v;
    return true;
}

} // namespace corvane
