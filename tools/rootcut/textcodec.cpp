#include "tools/rootcut/textcodec.h"

#include "tools/rootcut/rootcuterror.h"

#include <cstring>
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

bool IsAscii(char c)
{
    return (static_cast<unsigned char>(c) & 0x80) == 0;
}

bool IsUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Converts a run of non-ASCII bytes to `op`, with a "?" of our own for every failure: iconv's
// //TRANSLIT depends on the locale and //IGNORE drops characters silently.
char* ConvertRun(iconv_t cd, std::string_view run, char* op, size_t room, bool fromUtf8)
{
    char* ip = const_cast<char*>(run.data());
    size_t il = run.size();
    while (il > 0) {
        if (iconv(cd, &ip, &il, &op, &room) != static_cast<size_t>(-1))
            break;
        // EILSEQ or EINVAL: put "?" in place of one character (a lead byte and its
        // continuation bytes).
        size_t skip = 1;
        while (fromUtf8 && skip < il && skip < 4 && IsUtf8Continuation(ip[skip]))
            ++skip;
        ip += skip;
        il -= skip;
        *op++ = '?';
        --room;
    }
    return op;
}

// Both code pages keep ASCII as it is, so only the runs of other bytes go through iconv: in
// English text that is very little. The output never needs more than `growth` bytes per byte.
void Convert(std::string_view in, std::string& out, const char* from, const char* to, bool fromUtf8,
             size_t growth)
{
    TIconv cd(from, to);
    out.resize(in.size() * growth);
    char* op = out.data();
    char* const end = op + out.size();
    size_t i = 0;
    while (i < in.size()) {
        size_t j = i;
        while (j < in.size() && IsAscii(in[j]))
            ++j;
        std::memcpy(op, in.data() + i, j - i);
        op += j - i;
        i = j;
        while (j < in.size() && !IsAscii(in[j]))
            ++j;
        op = ConvertRun(cd.Get(), in.substr(i, j - i), op, static_cast<size_t>(end - op), fromUtf8);
        i = j;
    }
    out.resize(static_cast<size_t>(op - out.data()));
}

} // namespace

void Utf8ToAnsi(std::string_view utf8, std::string& ansi)
{
    Convert(utf8, ansi, "UTF-8", "CP1251", true, 1);
}

void AnsiToUtf8(std::string_view ansi, std::string& utf8)
{
    Convert(ansi, utf8, "CP1251", "UTF-8", false, 3);
}

} // namespace corvane
