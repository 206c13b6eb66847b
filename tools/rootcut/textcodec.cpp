#include "tools/rootcut/textcodec.h"

#include "tools/rootcut/rootcuterror.h"

#include <cerrno>
#include <iconv.h>

namespace corvane {
namespace {

/// One iconv conversion descriptor, closed with the object.
class TIconv
{
public:
    TIconv(const char* from, const char* to) : m_Cd(iconv_open(to, from))
    {
        if (m_Cd == reinterpret_cast<iconv_t>(-1))
            throw TRootcutError("EEncodingError",
                                std::string("No converter from ") + from + " to " + to);
    }
    ~TIconv() { iconv_close(m_Cd); }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    iconv_t Get() const { return m_Cd; }

private:
    iconv_t m_Cd;
};

bool IsUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// A plain converter with a "?" of our own for every failure: iconv's //TRANSLIT depends on the
// locale and //IGNORE drops characters silently.
void Convert(std::string_view in, std::string& out, const char* from, const char* to, bool fromUtf8)
{
    TIconv cd(from, to);
    out.resize(in.size() * (fromUtf8 ? 1 : 2) + 16);
    char* ip = const_cast<char*>(in.data());
    size_t il = in.size();
    size_t used = 0;
    while (il > 0) {
        char* op = out.data() + used;
        size_t ol = out.size() - used;
        const size_t r = iconv(cd.Get(), &ip, &il, &op, &ol);
        used = static_cast<size_t>(op - out.data());
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: skip one character (a lead byte and its continuation bytes, so
        // never the ASCII byte after a cut sequence) and put "?" in its place.
        size_t skip = 1;
        while (fromUtf8 && skip < il && skip < 4 && IsUtf8Continuation(ip[skip]))
            ++skip;
        ip += skip;
        il -= skip;
        if (used == out.size())
            out.resize(out.size() * 2);
        out[used++] = '?';
    }
    out.resize(used);
}

} // namespace

void Utf8ToAnsi(std::string_view utf8, std::string& ansi)
{
    Convert(utf8, ansi, "UTF-8", "CP1251", true);
}

void AnsiToUtf8(std::string_view ansi, std::string& utf8)
{
    Convert(ansi, utf8, "CP1251", "UTF-8", false);
}

} // namespace corvane
