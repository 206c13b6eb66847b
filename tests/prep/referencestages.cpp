#include "tests/prep/referencestages.h"

#include "container/binarydoc.h"
#include "container/crc32unit.h"
#include "platform/codepage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace corvane::test {
namespace {

bool Copy(const std::string& from, const std::string& to)
{
    std::error_code ec;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
    return !ec;
}

bool IsStop(char c)
{
    return c == '.' || c == '?' || c == '|' || c == '}';
}

// Position arithmetic of a 1-based string walk, kept as it was written.
std::vector<std::string> Words(const std::string& s)
{
    std::vector<std::string> words;
    const long n = static_cast<long>(s.size());
    long p = 1;
    while (true) {
        long st = 0;
        for (long k = p; k <= n; ++k)
            if (s[k - 1] == '{') {
                st = k;
                break;
            }
        if (st == 0)
            break;
        long en = 0;
        for (long k = st + 1; k <= n; ++k)
            if (IsStop(s[k - 1])) {
                en = k;
                break;
            }
        if (en == 0)
            en = n;
        const long len = en - st - 1;
        std::string w = len > 0 ? s.substr(static_cast<size_t>(st), static_cast<size_t>(len)) : "";
        while (!w.empty() && static_cast<unsigned char>(w.front()) <= 32)
            w.erase(0, 1);
        while (!w.empty() && static_cast<unsigned char>(w.back()) <= 32)
            w.pop_back();
        if (!w.empty())
            words.push_back(w);
        p = en + 1;
    }
    if (words.empty())
        words.push_back("{00000}");
    return words;
}

struct TWordList
{
    TWordAndFreqArray array; // its size is the allocated length
    int32_t size = 0;

    void Add(const TWordAndFreq& wf)
    {
        int32_t f = -1;
        for (int32_t k = 0; k < size; ++k)
            if (array[k].wfuID == wf.wfuID) {
                f = k;
                break;
            }
        int32_t i;
        if (f < 0) {
            if (size == static_cast<int32_t>(array.size()))
                array.resize(array.size() + 1024, TWordAndFreq{});
            array[size] = wf;
            i = size++;
        } else {
            array[f].wfFreq += wf.wfFreq;
            i = f;
        }
        int32_t j = i;
        while (j > 0 && array[j - 1].wfFreq < array[i].wfFreq)
            --j;
        if (j < i) {
            const TWordAndFreq moved = array[i];
            for (int32_t k = i; k > j; --k)
                array[k] = array[k - 1];
            array[j] = moved;
        }
    }
};

} // namespace

bool ReferenceStage2(const std::string& infname, const std::string& outfname)
{
    std::string work = infname;
    if (!outfname.empty() && LowerCp1251(outfname) != LowerCp1251(infname)) {
        if (!Copy(infname, outfname))
            return false;
        work = outfname;
    }
    TBinaryDoc doc;
    if (!doc.Create(work, false))
        return false;
    if (doc.GetLDADocumentsBinaryCount() >= 1 && doc.Signature() == kMagicV3) {
        const int32_t n = doc.GetLDAWordmapBinarySize();
        if (n >= 1) {
            TWordAndFreqArray map(static_cast<size_t>(n));
            return doc.GetLDAWordmapBinary(map.data(), n);
        }
    }
    TWordList list;
    const int32_t count = doc.GetDocumentCount();
    for (int32_t id = 0; id < count; ++id) {
        std::string text;
        if (!doc.GetDocument(id, text))
            continue;
        LowerCp1251InPlace(text);
        std::vector<uint32_t> ids;
        for (const std::string& w : Words(text)) {
            TWordAndFreq wf{};
            wf.wfuID = WordId(w);
            wf.wfFreq = 1;
            SetWord(wf, w);
            ids.push_back(wf.wfuID);
            list.Add(wf);
        }
        doc.AddLDADocumentBinary(ids.data(), static_cast<int32_t>(ids.size()), id);
    }
    const int32_t D = doc.GetLDADocumentsBinaryCount();
    const double L = static_cast<double>(list.array.size());
    for (int32_t i = 0; i < list.size; ++i) {
        TWordAndFreq& wf = list.array[i];
        int32_t n = 0;
        int32_t docid, size;
        for (int32_t d = 0; d < D; ++d) {
            if (!(d == 0 ? doc.GetLDADocumentBinaryFirst(docid, size)
                         : doc.GetLDADocumentBinaryNext(docid, size)))
                return false;
            std::vector<uint32_t> ids(static_cast<size_t>(size));
            if (!doc.GetLDADocumentBinary(ids.data(), size))
                return false;
            if (std::find(ids.begin(), ids.end(), wf.wfuID) != ids.end())
                ++n;
        }
        wf.wfTFIDF = (wf.wfFreq / L) * std::log(static_cast<double>(D) / n);
    }
    return doc.AddLDAWordmapBinary(list.array.data(), list.size) && doc.Close();
}

bool ReferenceStage3(const std::string& infname, const std::string& outfname,
                     const std::vector<std::string>& stopwords)
{
    std::vector<uint32_t> crc;
    for (const std::string& w : stopwords)
        crc.push_back(WordId(w));
    auto isStop = [&](uint32_t id) {
        for (uint32_t c : crc)
            if (c == id)
                return true;
        return false;
    };
    if (!Copy(infname, outfname))
        return false;
    TBinaryDoc in, out;
    if (!in.Create(infname, false) || !out.Create(outfname, false))
        return false;
    const int32_t D = in.GetLDADocumentsBinaryCount();
    std::vector<std::pair<int32_t, std::vector<uint32_t>>> docs;
    for (int32_t d = 0; d < D; ++d) {
        int32_t docid, size;
        if (!(d == 0 ? in.GetLDADocumentBinaryFirst(docid, size)
                     : in.GetLDADocumentBinaryNext(docid, size)))
            return false;
        std::vector<uint32_t> ids(static_cast<size_t>(size));
        if (!in.GetLDADocumentBinary(ids.data(), size))
            return false;
        docs.emplace_back(docid, std::move(ids));
    }
    std::stable_sort(docs.begin(), docs.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [docid, ids] : docs) {
        std::vector<uint32_t> kept;
        for (uint32_t id : ids)
            if (!isStop(id))
                kept.push_back(id);
        if (!out.AddLDADocumentBinary(kept.data(), static_cast<int32_t>(kept.size()), docid))
            return false;
    }
    const int32_t W = in.GetLDAWordmapBinarySize();
    if (W > 0) {
        TWordAndFreqArray map(static_cast<size_t>(W));
        if (!in.GetLDAWordmapBinary(map.data(), W))
            return false;
        TWordAndFreqArray kept;
        for (const TWordAndFreq& wf : map)
            if (!isStop(wf.wfuID))
                kept.push_back(wf);
        if (!out.AddLDAWordmapBinary(kept.data(), static_cast<int32_t>(kept.size())))
            return false;
    }
    return out.Close();
}

} // namespace corvane::test
