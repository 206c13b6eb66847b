// Opens the input as a container and walks everything a caller can read.
#include "container/binarydoc.h"

#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = "/tmp/fuzz_binarydoc_" + std::to_string(getpid()) + ".cvlda";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
    corvane::TBinaryDoc doc;
    if (doc.Create(path, false)) {
        std::string a, b, meta;
        for (int32_t id = 0; id < doc.GetDocumentCount() && id < 64; ++id) {
            doc.GetDocuments(id, a, b);
            doc.GetOrigDocument(id, a, &meta);
        }
        const int32_t count = doc.GetLDADocumentsBinaryCount();
        int32_t docid, n;
        for (int32_t i = 0; i < count; ++i) {
            if (!(i ? doc.GetLDADocumentBinaryNext(docid, n) : doc.GetLDADocumentBinaryFirst(docid, n)))
                break;
            std::vector<uint32_t> ids(static_cast<size_t>(n));
            doc.GetLDADocumentBinary(ids.data(), n);
        }
        const int32_t words = doc.GetLDAWordmapBinarySize();
        std::vector<corvane::TWordAndFreq> map(static_cast<size_t>(words));
        doc.GetLDAWordmapBinary(map.data(), words);
        doc.GetLDADocument(3);
        doc.GetLDADocumentBinarySize(1);
    }
    unlink(path.c_str());
    return 0;
}
