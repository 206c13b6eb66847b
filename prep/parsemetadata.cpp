#include "prep/parsemetadata.h"

#include "container/metablock.h"
#include "platform/userlocale.h"
#include "prep/tagremoval.h"

#include <fstream>
#include <iterator>

namespace corvane {
namespace {

// The fields of a line: each ends at the next comma, or at the next semicolon once the rest of
// the line holds no comma; the text after the last separator is the last field.
std::vector<std::string_view> SplitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t pos = 0;
    while (true) {
        size_t sep = line.find(',', pos);
        if (sep == std::string_view::npos)
            sep = line.find(';', pos);
        if (sep == std::string_view::npos)
            break;
        fields.push_back(line.substr(pos, sep - pos));
        pos = sep + 1;
    }
    fields.push_back(line.substr(pos));
    return fields;
}

} // namespace

std::string MetaBlockOf(const TDocMetaData& data)
{
    TMetaFields fields;
    fields[0] = data.auth;
    for (int i = 0; i < kAddFieldCount; ++i)
        fields[i + 1] = data.addfields[i];
    return EncodeMetaBlock(fields);
}

bool TParseMetadata::ParseLine(std::string_view line, TDocMetaData& record)
{
    const std::vector<std::string_view> fields = SplitFields(line);
    if (fields[0].empty())
        return false;
    record = TDocMetaData();
    record.hasId = ParseInt32(fields[0], record.id);
    if (!record.hasId)
        record.idstr = fields[0];
    if (fields.size() > 1)
        record.auth = fields[1];
    // Fields 3 and later, but never the last field of the line.
    for (size_t i = 2; i + 1 < fields.size() && i - 2 < kAddFieldCount; ++i)
        record.addfields[i - 2] = TrimBlanks(fields[i]);
    return true;
}

TParseMetadata::TParseMetadata(const std::string& mdfile)
{
    std::ifstream in(mdfile, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        TDocMetaData record;
        if (end > start && ParseLine(std::string_view(text).substr(start, end - start), record)) {
            const size_t position = m_Records.size();
            if (record.hasId)
                m_ById.emplace(record.id, position);
            else
                m_ByStrId.emplace(record.idstr, position);
            m_Records.push_back(std::move(record));
        }
        start = end + 1;
    }
}

const TDocMetaData* TParseMetadata::GetDocMetaDataById(int32_t index) const
{
    const auto it = m_ById.find(index);
    return it == m_ById.end() ? nullptr : &m_Records[it->second];
}

const TDocMetaData* TParseMetadata::GetDocMetaDataByStrId(const std::string& index) const
{
    const auto it = m_ByStrId.find(index);
    return it == m_ByStrId.end() ? nullptr : &m_Records[it->second];
}

TDocMetaData TParseMetadata::GetDocMetaData(int32_t index) const
{
    if (index < 0 || index >= Count())
        return {};
    return m_Records[static_cast<size_t>(index)];
}

} // namespace corvane
