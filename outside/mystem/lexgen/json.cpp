#include "outside/mystem/lexgen/json.h"

#include "platform/codepage.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace corvane::mystem {
namespace {

class TParser
{
public:
    explicit TParser(std::string_view text) : m_Text(text) {}

    bool Document(TJson& out)
    {
        if (!Value(out, 0))
            return false;
        Skip();
        return m_Pos == m_Text.size() || Fail("trailing text");
    }

    std::string Error() const { return m_Error + " at offset " + std::to_string(m_Pos); }

private:
    bool Fail(const char* what)
    {
        m_Error = what;
        return false;
    }

    void Skip()
    {
        while (m_Pos < m_Text.size() && (m_Text[m_Pos] == ' ' || m_Text[m_Pos] == '\n' ||
                                         m_Text[m_Pos] == '\r' || m_Text[m_Pos] == '\t'))
            ++m_Pos;
    }

    bool Literal(std::string_view word)
    {
        if (m_Text.substr(m_Pos, word.size()) != word)
            return Fail("unknown literal");
        m_Pos += word.size();
        return true;
    }

    bool String(std::string& out)
    {
        ++m_Pos; // opening quote
        while (m_Pos < m_Text.size()) {
            const char ch = m_Text[m_Pos++];
            if (ch == '"')
                return true;
            if (ch != '\\') {
                out += ch;
                continue;
            }
            if (m_Pos >= m_Text.size())
                break;
            const char esc = m_Text[m_Pos++];
            switch (esc) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                if (m_Pos + 4 > m_Text.size())
                    return Fail("short \\u escape");
                const std::string hex(m_Text.substr(m_Pos, 4));
                m_Pos += 4;
                // Only the Basic Multilingual Plane occurs in the dictionary's tables.
                AppendUtf8(out, static_cast<char32_t>(std::strtoul(hex.c_str(), nullptr, 16)));
                break;
            }
            default:
                out += esc;
            }
        }
        return Fail("unterminated string");
    }

    bool Value(TJson& out, int depth)
    {
        if (depth > 64)
            return Fail("nested too deeply");
        Skip();
        if (m_Pos >= m_Text.size())
            return Fail("unexpected end");
        const char ch = m_Text[m_Pos];
        if (ch == '"') {
            out.kind = TJson::TKind::String;
            return String(out.string);
        }
        if (ch == '[' || ch == '{') {
            const bool isArray = ch == '[';
            out.kind = isArray ? TJson::TKind::Array : TJson::TKind::Object;
            ++m_Pos;
            Skip();
            if (m_Pos < m_Text.size() && m_Text[m_Pos] == (isArray ? ']' : '}')) {
                ++m_Pos;
                return true;
            }
            while (true) {
                std::string name;
                if (!isArray) {
                    Skip();
                    if (m_Pos >= m_Text.size() || m_Text[m_Pos] != '"' || !String(name))
                        return Fail("expected a member name");
                    Skip();
                    if (m_Pos >= m_Text.size() || m_Text[m_Pos++] != ':')
                        return Fail("expected ':'");
                }
                TJson item;
                if (!Value(item, depth + 1))
                    return false;
                if (isArray)
                    out.array.push_back(std::move(item));
                else
                    out.object[name] = std::move(item);
                Skip();
                if (m_Pos >= m_Text.size())
                    return Fail("unexpected end");
                const char sep = m_Text[m_Pos++];
                if (sep == (isArray ? ']' : '}'))
                    return true;
                if (sep != ',')
                    return Fail("expected ','");
            }
        }
        if (ch == 't' || ch == 'f') {
            out.kind = TJson::TKind::Bool;
            out.boolean = ch == 't';
            return Literal(ch == 't' ? "true" : "false");
        }
        if (ch == 'n')
            return Literal("null");
        const char* begin = m_Text.data() + m_Pos;
        char* end = nullptr;
        const std::string number(begin, std::min<size_t>(32, m_Text.size() - m_Pos));
        out.number = std::strtod(number.c_str(), &end);
        if (end == number.c_str())
            return Fail("unexpected character");
        out.kind = TJson::TKind::Number;
        m_Pos += static_cast<size_t>(end - number.c_str());
        return true;
    }

    std::string_view m_Text;
    size_t m_Pos = 0;
    std::string m_Error;
};

} // namespace

bool TJson::Parse(std::string_view text, TJson& out, std::string& error)
{
    TParser parser(text);
    out = TJson();
    if (parser.Document(out))
        return true;
    error = parser.Error();
    return false;
}

bool TJson::ParseFile(const std::string& path, TJson& out, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    if (Parse(text, out, error))
        return true;
    error = path + ": " + error;
    return false;
}

} // namespace corvane::mystem
