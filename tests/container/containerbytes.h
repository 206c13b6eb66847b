#pragma once

#include "container/binarydoc.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::test {

/// Builds container bytes by hand, little-endian, for layout tests.
class TBytes
{
public:
    TBytes& I32(int32_t v) { return Raw(&v, 4); }
    TBytes& I64(int64_t v) { return Raw(&v, 8); }
    TBytes& Str(std::string_view s) { return Raw(s.data(), s.size()); }
    TBytes& Raw(const void* p, size_t n)
    {
        m_Data.append(static_cast<const char*>(p), n);
        return *this;
    }
    TBytes& Entry(int32_t docid, int32_t origsize, int64_t origoffs, int32_t docsize,
                  int64_t docoffs, int32_t datasize, int64_t dataoffs)
    {
        return I32(docid).I32(origsize).I64(origoffs).I32(docsize).I64(docoffs).I32(datasize).I64(
            dataoffs);
    }
    void Put64At(size_t at, int64_t v) { std::memcpy(m_Data.data() + at, &v, 8); }
    size_t Size() const { return m_Data.size(); }
    const std::string& Data() const { return m_Data; }

private:
    std::string m_Data;
};

inline TWordAndFreq MakeWord(uint32_t id, int32_t freq, std::string_view word, double tfidf)
{
    TWordAndFreq wf{};
    wf.wfuID = id;
    wf.wfFreq = freq;
    SetWord(wf, word);
    wf.wfTFIDF = tfidf;
    return wf;
}

/// A container with documents "a" (id 0) and "bb" (id 1), no metadata, and `ldaSection` after
/// its index. Returns the bytes; `ldaOffset` receives where the LDA section starts.
inline std::string ContainerWithLDA(const std::string& ldaSection, int64_t* ldaOffset = nullptr,
                                    std::string_view magic = "Qorvelv3")
{
    TBytes b;
    b.Str(magic).I64(0).Str("a").Str("A").Str("bb").Str("BB");
    const int64_t indexOffs = static_cast<int64_t>(b.Size());
    b.Put64At(8, indexOffs);
    b.I32(80).Entry(0, 1, 16, 1, 17, 0, 18).Entry(1, 2, 18, 2, 20, 0, 22);
    if (ldaOffset)
        *ldaOffset = static_cast<int64_t>(b.Size());
    return b.Data() + ldaSection;
}

} // namespace corvane::test
