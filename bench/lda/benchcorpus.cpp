#include "bench/lda/benchcorpus.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace corvane::bench {

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TDocuments ParseDocuments(const std::string& path, size_t vocabularySize)
{
    const std::string text = ReadAll(path);
    TDocuments out;
    std::vector<int32_t> doc;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        if (*p == '\n') {
            out.docs.push_back(std::move(doc));
            doc.clear();
            ++p;
        } else if (*p == ' ' || *p == '\r') {
            ++p;
        } else {
            int32_t w = 0;
            auto [next, ec] = std::from_chars(p, end, w);
            if (ec != std::errc() || w < 0 || size_t(w) >= vocabularySize)
                throw std::runtime_error("bad word index in " + path);
            doc.push_back(w);
            p = next;
        }
    }
    if (!doc.empty())
        out.docs.push_back(std::move(doc));
    for (const std::vector<int32_t>& d : out.docs) {
        out.lengths.push_back(static_cast<int32_t>(d.size()));
        out.pointers.push_back(d.data());
        out.tokens += d.size();
    }
    return out;
}

// Reads a little-endian float32, C-order, two-dimensional .npy file.
std::vector<float> ReadNpy(const std::string& path, uint32_t& rows, uint32_t& columns)
{
    const std::string bytes = ReadAll(path);
    if (bytes.size() < 10 || bytes.compare(0, 6, "\x93NUMPY") != 0)
        throw std::runtime_error(path + " is not an .npy file");
    size_t headerLength = 0;
    size_t offset = 0;
    if (bytes[6] == 1) {
        headerLength = uint8_t(bytes[8]) | (size_t(uint8_t(bytes[9])) << 8);
        offset = 10;
    } else {
        if (bytes.size() < 12)
            throw std::runtime_error(path + " is truncated");
        for (int i = 0; i < 4; ++i)
            headerLength |= size_t(uint8_t(bytes[8 + i])) << (8 * i);
        offset = 12;
    }
    if (offset + headerLength > bytes.size())
        throw std::runtime_error(path + " is truncated");
    const std::string header = bytes.substr(offset, headerLength);
    if (header.find("'descr': '<f4'") == std::string::npos ||
        header.find("'fortran_order': False") == std::string::npos)
        throw std::runtime_error(path + " is not a C-order float32 array");
    const size_t shape = header.find("'shape': (");
    if (shape == std::string::npos || std::sscanf(header.c_str() + shape, "'shape': (%u, %u)", &rows, &columns) != 2)
        throw std::runtime_error(path + " has no two-dimensional shape");
    const size_t data = offset + headerLength;
    if ((bytes.size() - data) / sizeof(float) < size_t(rows) * columns)
        throw std::runtime_error(path + " is truncated");
    std::vector<float> values(size_t(rows) * columns);
    std::memcpy(values.data(), bytes.data() + data, values.size() * sizeof(float));
    return values;
}

} // namespace

TBenchCorpus LoadBenchCorpus(const std::string& folder)
{
    TBenchCorpus c;
    c.name = folder.substr(folder.find_last_of('/') + 1);
    {
        std::ifstream in(folder + "/vocab_train.txt");
        if (!in)
            throw std::runtime_error("cannot read " + folder + "/vocab_train.txt");
        for (std::string line; std::getline(in, line);)
            c.vocabulary.push_back(line);
    }
    c.train = ParseDocuments(folder + "/train.txt", c.vocabulary.size());
    c.test = ParseDocuments(folder + "/test.txt", c.vocabulary.size());

    std::ifstream probe(folder + "/true_phi.npy");
    if (!probe)
        return c;
    uint32_t columns = 0;
    const std::vector<float> full = ReadNpy(folder + "/true_phi.npy", c.trueTopics, columns);
    // Each training word is "w" followed by its column in the generating matrix.
    const size_t V = c.vocabulary.size();
    c.truePhi.assign(size_t(c.trueTopics) * V, 0);
    for (size_t w = 0; w < V; ++w) {
        uint32_t column = 0;
        const std::string& word = c.vocabulary[w];
        auto [next, ec] = std::from_chars(word.data() + 1, word.data() + word.size(), column);
        if (word.empty() || word[0] != 'w' || ec != std::errc() || column >= columns)
            throw std::runtime_error("vocabulary word without a column: " + word);
        for (uint32_t t = 0; t < c.trueTopics; ++t)
            c.truePhi[size_t(t) * V + w] = full[size_t(t) * columns + column];
    }
    return c;
}

} // namespace corvane::bench
