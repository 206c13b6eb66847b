#include "outside/mystem/lexicon.h"

#include "platform/checkedio.h"
#include "platform/codepage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::mystem {
namespace {

// A bounds-checked reader over one section's data.
class TCursor
{
public:
    TCursor(const unsigned char* data, uint64_t size, uint64_t pos)
        : m_Data(data), m_Size(size), m_Pos(pos)
    {
    }

    bool Byte(uint32_t& value)
    {
        if (m_Pos >= m_Size)
            return false;
        value = m_Data[m_Pos++];
        return true;
    }

    bool Varint(uint32_t& value)
    {
        value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            uint32_t b;
            if (!Byte(b))
                return false;
            value |= (b & 0x7F) << shift;
            if (!(b & 0x80))
                return true;
        }
        return false;
    }

    bool Bytes(uint32_t count, std::string_view& out)
    {
        if (count > m_Size - std::min(m_Pos, m_Size))
            return false;
        out = {reinterpret_cast<const char*>(m_Data + m_Pos), count};
        m_Pos += count;
        return true;
    }

    bool AtEnd() const { return m_Pos >= m_Size; }

private:
    const unsigned char* m_Data;
    uint64_t m_Size;
    uint64_t m_Pos;
};

bool SectionFits(const TSectionHeader& s, uint64_t indexEntries, uint64_t fileSize)
{
    const auto size = static_cast<int64_t>(fileSize);
    return indexEntries < (1ull << 32) &&
           FitsInFile(static_cast<int64_t>(s.indexOffset), static_cast<int64_t>(indexEntries * 4),
                      size) &&
           FitsInFile(static_cast<int64_t>(s.dataOffset), static_cast<int64_t>(s.dataSize), size) &&
           s.dataSize < (1ull << 40);
}

} // namespace

std::string LexiconKey(std::string_view word)
{
    std::string key = LowerCp1251(word);
    std::replace(key.begin(), key.end(), '\xB8', '\xE5');
    return key;
}

TLexicon::~TLexicon()
{
    if (m_Map)
        ::munmap(const_cast<unsigned char*>(m_Map), m_Size);
}

bool TLexicon::Fail(std::string message)
{
    m_LastError = std::move(message);
    return false;
}

bool TLexicon::Open(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Fail(path + ": " + std::strerror(errno));
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || st.st_size < static_cast<off_t>(sizeof(TLexiconHeader))) {
        ::close(fd);
        return Fail(path + ": not a lexicon (too short)");
    }
    void* map = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED)
        return Fail(path + ": " + std::strerror(errno));
    m_Map = static_cast<const unsigned char*>(map);
    m_Size = static_cast<uint64_t>(st.st_size);
    std::memcpy(&m_Header, m_Map, sizeof m_Header);
    const auto& h = m_Header;
    if (std::memcmp(h.magic, kLexiconMagic, sizeof h.magic) != 0)
        return Fail(path + ": not a lexicon (bad magic)");
    if (h.fileSize != m_Size)
        return Fail(path + ": damaged lexicon (size " + std::to_string(m_Size) + ", expected " +
                    std::to_string(h.fileSize) + ")");
    if (!SectionFits(h.forms, h.forms.blockCount, m_Size) ||
        !SectionFits(h.endings, h.endings.blockCount, m_Size) ||
        !SectionFits(h.sets, h.sets.count, m_Size) || !SectionFits(h.rules, h.rules.count, m_Size))
        return Fail(path + ": damaged lexicon (section out of bounds)");
    return true;
}

bool TLexicon::Offset(const TSectionHeader& section, uint32_t index, uint64_t& offset) const
{
    uint32_t value;
    std::memcpy(&value, m_Map + section.indexOffset + 4ull * index, 4);
    offset = value;
    return offset < section.dataSize;
}

bool TLexicon::BlockFirstKey(const TSectionHeader& table, uint32_t block,
                             std::string_view& key) const
{
    uint64_t offset;
    if (!Offset(table, block, offset))
        return false;
    TCursor c(m_Map + table.dataOffset, table.dataSize, offset);
    uint32_t shared, length;
    return c.Byte(shared) && shared == 0 && c.Byte(length) && c.Bytes(length, key);
}

bool TLexicon::FindSet(const TSectionHeader& table, std::string_view key, uint32_t& set) const
{
    if (table.blockCount == 0 || key.size() > kMaxKeyLength)
        return false;
    // The last block whose first key is not greater than the key.
    uint32_t lo = 0;
    uint32_t hi = table.blockCount;
    while (hi - lo > 1) {
        const uint32_t mid = lo + (hi - lo) / 2;
        std::string_view first;
        if (!BlockFirstKey(table, mid, first))
            return false;
        if (first <= key)
            lo = mid;
        else
            hi = mid;
    }
    uint64_t offset;
    if (!Offset(table, lo, offset))
        return false;
    TCursor c(m_Map + table.dataOffset, table.dataSize, offset);
    char buf[kMaxKeyLength];
    size_t length = 0;
    for (int i = 0; i < kBlockKeys && !c.AtEnd(); ++i) {
        uint32_t shared, suffixLength, id;
        std::string_view suffix;
        if (!c.Byte(shared) || !c.Byte(suffixLength) || shared > length ||
            shared + suffixLength > kMaxKeyLength || !c.Bytes(suffixLength, suffix) ||
            !c.Varint(id))
            return false;
        std::memcpy(buf + shared, suffix.data(), suffixLength);
        length = shared + suffixLength;
        const std::string_view current(buf, length);
        if (current == key) {
            set = id;
            return true;
        }
        if (current > key)
            return false;
    }
    return false;
}

bool TLexicon::ApplyRule(uint32_t rule, std::string_view key, std::string& lemma) const
{
    if (rule >= m_Header.rules.count)
        return false;
    uint64_t offset;
    if (!Offset(m_Header.rules, rule, offset))
        return false;
    TCursor c(m_Map + m_Header.rules.dataOffset, m_Header.rules.dataSize, offset);
    uint32_t cut, length;
    std::string_view append;
    if (!c.Byte(cut) || !c.Byte(length) || !c.Bytes(length, append) || cut > key.size())
        return false;
    lemma.assign(key.substr(0, key.size() - cut));
    lemma.append(append);
    return true;
}

bool TLexicon::ExpandSet(uint32_t set, std::string_view key, std::vector<std::string>& lemmas) const
{
    if (set >= m_Header.sets.count)
        return false;
    uint64_t offset;
    if (!Offset(m_Header.sets, set, offset))
        return false;
    TCursor c(m_Map + m_Header.sets.dataOffset, m_Header.sets.dataSize, offset);
    uint32_t count;
    if (!c.Byte(count) || count == 0)
        return false;
    lemmas.clear();
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t rule;
        std::string lemma;
        if (!c.Varint(rule) || !ApplyRule(rule, key, lemma))
            return false;
        lemmas.push_back(std::move(lemma));
    }
    return true;
}

bool TLexicon::Find(std::string_view key, std::vector<std::string>& lemmas) const
{
    uint32_t set;
    return m_Map && FindSet(m_Header.forms, key, set) && ExpandSet(set, key, lemmas);
}

bool TLexicon::Guess(std::string_view key, std::string& lemma) const
{
    if (!m_Map)
        return false;
    // The ending is shorter than the word, so a guess never replaces the whole word.
    std::vector<std::string> lemmas;
    for (size_t n = std::min(kLongestEnding, key.empty() ? 0 : key.size() - 1); n > 0; --n) {
        uint32_t set;
        if (FindSet(m_Header.endings, key.substr(key.size() - n), set) &&
            ExpandSet(set, key, lemmas)) {
            lemma = lemmas.front();
            return true;
        }
    }
    return false;
}

} // namespace corvane::mystem
