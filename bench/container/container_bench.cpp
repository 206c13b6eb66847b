// Container throughput: append documents, close, reopen and read every id, against plain
// sequential write()/read() of the same bytes, in 1 MiB
// chunks (the bandwidth floor) and in one call per document part. CPU time, median of RUNS. Usage: bench_container [DOCS] [RUNS] [DIR]
#include "bench/benchutil.h"
#include "container/binarydoc.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

using namespace corvane;
using corvane::bench::Median;
using corvane::bench::Seconds;

int main(int argc, char** argv)
{
    const int docs = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    const std::string dir = argc > 3 ? argv[3] : "/tmp";
    const std::string path = dir + "/bench_container.cvlda";
    const std::string plain = dir + "/bench_plain.bin";

    // About 500 bytes a document: 300 of original text, 150 lemmatized, an 84-byte metadata block.
    std::string orig(300, 'o'), lem(150, 'l'), meta(84, '\0');
    const double bytes = double(docs) * (orig.size() + lem.size() + meta.size());

    std::vector<double> write, read, plainWrite, plainRead, perDocWrite, perDocRead;
    for (int run = 0; run < runs; ++run) {
        write.push_back(Seconds([&] {
            TBinaryDoc doc;
            doc.Create(path, true);
            for (int i = 0; i < docs; ++i)
                doc.AddDocuments(i, orig, lem, meta.data(), 84);
            doc.Close();
        }));
        size_t checksum = 0;
        read.push_back(Seconds([&] {
            TBinaryDoc doc;
            doc.Create(path, false);
            std::string o, l;
            for (int i = 0; i < doc.GetDocumentCount(); ++i) {
                doc.GetDocuments(i, o, l);
                checksum += o.size() + l.size();
            }
        }));
        if (checksum != size_t(docs) * 450)
            std::fprintf(stderr, "read back %zu bytes, expected %zu\n", checksum, size_t(docs) * 450);

        std::string chunk(1 << 20, 'x');
        plainWrite.push_back(Seconds([&] {
            int fd = ::open(plain.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            for (double left = bytes; left > 0; left -= chunk.size())
                if (::write(fd, chunk.data(), std::min<double>(left, chunk.size())) < 0)
                    break;
            ::close(fd);
        }));
        plainRead.push_back(Seconds([&] {
            int fd = ::open(plain.c_str(), O_RDONLY);
            while (::read(fd, chunk.data(), chunk.size()) > 0) {
            }
            ::close(fd);
        }));
        // The same bytes with one write() per document part and one read() per text.
        perDocWrite.push_back(Seconds([&] {
            int fd = ::open(plain.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            for (int i = 0; i < docs; ++i)
                if (::write(fd, orig.data(), orig.size()) < 0 || ::write(fd, lem.data(), lem.size()) < 0 ||
                    ::write(fd, meta.data(), meta.size()) < 0)
                    break;
            ::close(fd);
        }));
        perDocRead.push_back(Seconds([&] {
            int fd = ::open(plain.c_str(), O_RDONLY);
            for (int i = 0; i < docs; ++i)
                if (::read(fd, orig.data(), orig.size()) <= 0 || ::read(fd, lem.data(), lem.size()) <= 0 ||
                    ::lseek(fd, meta.size(), SEEK_CUR) < 0)
                    break;
            ::close(fd);
        }));
    }
    ::unlink(path.c_str());
    ::unlink(plain.c_str());
    const double mb = bytes / 1e6;
    std::printf("documents: %d, %.0f MB, median of %d runs\n", docs, mb, runs);
    std::printf("container write: %8.1f MB/s  plain write: %8.1f MB/s  ratio %.2fx\n",
                mb / Median(write), mb / Median(plainWrite), Median(write) / Median(plainWrite));
    std::printf("container read:  %8.1f MB/s  plain read:  %8.1f MB/s  ratio %.2fx\n",
                mb / Median(read), mb / Median(plainRead), Median(read) / Median(plainRead));
    std::printf("per-document write(): %8.1f MB/s  container is %.2fx faster\n",
                mb / Median(perDocWrite), Median(perDocWrite) / Median(write));
    std::printf("per-document read():  %8.1f MB/s  container is %.2fx faster\n",
                mb / Median(perDocRead), Median(perDocRead) / Median(read));
    return 0;
}
