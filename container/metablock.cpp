#include "container/metablock.h"

#include <cstdint>
#include <cstring>

namespace corvane {

std::string EncodeMetaBlock(const TMetaFields& fields)
{
    std::string block(kMetaFieldCount * 4, '\0');
    for (int i = 0; i < kMetaFieldCount; ++i) {
        const auto len = static_cast<int32_t>(fields[i].size());
        std::memcpy(block.data() + i * 4, &len, 4);
    }
    for (const auto& f : fields)
        block += f;
    return block;
}

bool DecodeMetaBlock(std::string_view block, TMetaFields& fields)
{
    for (auto& f : fields)
        f.clear();
    if (block.size() < kMetaFieldCount * 4)
        return false;
    size_t pos = kMetaFieldCount * 4;
    TMetaFields out;
    for (int i = 0; i < kMetaFieldCount; ++i) {
        int32_t len = 0;
        std::memcpy(&len, block.data() + i * 4, 4);
        if (len < 0 || static_cast<size_t>(len) > block.size() - pos)
            return false;
        out[i].assign(block.data() + pos, static_cast<size_t>(len));
        pos += static_cast<size_t>(len);
    }
    fields = std::move(out);
    return true;
}

bool MetaBlockDecodable(std::string_view signature)
{
    return signature == "Qorvelv3" || signature == "Qorvelv2";
}

} // namespace corvane
