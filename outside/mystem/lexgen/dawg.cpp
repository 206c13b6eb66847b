#include "outside/mystem/lexgen/dawg.h"

#include <cstring>
#include <fstream>

namespace corvane::mystem {
namespace {

constexpr uint32_t kLeafBit = 1u << 31;
constexpr uint32_t kExtensionBit = 1u << 9;

uint32_t Offset(uint32_t unit)
{
    return (unit >> 10) << ((unit & kExtensionBit) >> 6);
}
uint32_t Label(uint32_t unit)
{
    return unit & (kLeafBit | 0xFF);
}
bool HasLeaf(uint32_t unit)
{
    return (unit >> 8) & 1;
}

bool ReadU32(std::ifstream& in, uint32_t& value)
{
    unsigned char b[4];
    if (!in.read(reinterpret_cast<char*>(b), 4))
        return false;
    value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return true;
}

} // namespace

bool TDawg::Load(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(0, std::ios::end);
    const auto fileSize = static_cast<uint64_t>(std::max<std::streamoff>(0, in.tellg()));
    in.seekg(0);
    uint32_t units = 0;
    if (!in || !ReadU32(in, units) || 4ull + 4ull * units > fileSize) {
        error = path + ": missing or not a DAWG file";
        return false;
    }
    m_Units.resize(units);
    for (auto& u : m_Units)
        ReadU32(in, u);
    uint32_t guide = 0;
    if (!ReadU32(in, guide) || 8ull + 4ull * units + 2ull * guide > fileSize || guide != units) {
        error = path + ": DAWG file without a matching guide";
        return false;
    }
    m_Guide.resize(2ull * guide);
    in.read(reinterpret_cast<char*>(m_Guide.data()), static_cast<std::streamsize>(m_Guide.size()));
    if (!in || m_Units.empty()) {
        error = path + ": truncated DAWG file";
        return false;
    }
    return true;
}

bool TDawg::Child(uint32_t index, uint8_t label, uint32_t& next) const
{
    next = index ^ Offset(m_Units[index]) ^ label;
    return next < m_Units.size() && Label(m_Units[next]) == label;
}

bool TDawg::Find(std::string_view key, uint32_t& value) const
{
    uint32_t index = 0;
    for (char ch : key)
        if (!Child(index, static_cast<uint8_t>(ch), index))
            return false;
    if (!HasLeaf(m_Units[index]))
        return false;
    const uint32_t leaf = index ^ Offset(m_Units[index]);
    if (leaf >= m_Units.size())
        return false;
    value = m_Units[leaf] & ~kLeafBit;
    return true;
}

TDawg::TWalker::TWalker(const TDawg& dawg) : m_Dawg(dawg)
{
    m_Stack.push_back(0);
}

bool TDawg::TWalker::Follow(uint8_t label, uint32_t& index)
{
    if (!m_Dawg.Child(index, label, index))
        return false;
    m_Key += static_cast<char>(label);
    m_Stack.push_back(index);
    return true;
}

bool TDawg::TWalker::FindTerminal(uint32_t index)
{
    while (!HasLeaf(m_Dawg.m_Units[index])) {
        const uint8_t label = m_Dawg.m_Guide[2ull * index];
        if (label == 0 || !Follow(label, index))
            return false;
    }
    m_Last = index;
    return true;
}

bool TDawg::TWalker::Next()
{
    if (m_Stack.empty())
        return false;
    uint32_t index = m_Stack.back();
    if (m_Started) {
        const uint8_t child = m_Dawg.m_Guide[2ull * index];
        if (child != 0) {
            if (!Follow(child, index))
                return false;
        } else {
            while (true) {
                const uint8_t sibling = m_Dawg.m_Guide[2ull * index + 1];
                if (!m_Key.empty())
                    m_Key.pop_back();
                m_Stack.pop_back();
                if (m_Stack.empty())
                    return false;
                index = m_Stack.back();
                if (sibling != 0) {
                    if (!Follow(sibling, index))
                        return false;
                    break;
                }
            }
        }
    }
    m_Started = true;
    return FindTerminal(index);
}

uint32_t TDawg::TWalker::Value() const
{
    const auto& units = m_Dawg.m_Units;
    const uint32_t leaf = m_Last ^ Offset(units[m_Last]);
    return leaf < units.size() ? units[leaf] & ~kLeafBit : 0;
}

} // namespace corvane::mystem
