#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace corvane {

constexpr int kAddFieldCount = 20;

/// One record of "metadata.csv": a document id (numeric or string), the author and up to 20
/// additional fields, all single-byte text.
struct TDocMetaData
{
    bool hasId = false; // `id` holds the numeric id; otherwise the id is `idstr`
    int32_t id = 0;
    std::string idstr;
    std::string auth;
    std::array<std::string, kAddFieldCount> addfields;
};

/// The container's metadata block of a record: its author and additional fields.
std::string MetaBlockOf(const TDocMetaData& data);

/// Reads "metadata.csv": one record per line (CR, LF or both end a line; empty lines are
/// skipped; no header, quoting or escaping). A field ends at the next comma or, when the rest of
/// the line holds no comma, at the next semicolon. Field 1 is the id (numeric when it is an
/// integer), field 2 the author; later fields, trimmed, are the additional fields, except the
/// line's last field, which never is one. A line with an empty id is dropped.
class TParseMetadata
{
public:
    /// Reads the whole file; a missing or unreadable file gives an empty list.
    explicit TParseMetadata(const std::string& mdfile);

    /// The first record whose numeric id is `index`, or nullptr.
    const TDocMetaData* GetDocMetaDataById(int32_t index) const;
    /// The first record whose string id is exactly `index` (case-sensitive), or nullptr.
    const TDocMetaData* GetDocMetaDataByStrId(const std::string& index) const;
    /// A copy of the record at list position `index`; an empty record out of range.
    TDocMetaData GetDocMetaData(int32_t index) const;
    int32_t Count() const { return static_cast<int32_t>(m_Records.size()); }

    /// Parses one line (without its line end); false when it holds no record.
    static bool ParseLine(std::string_view line, TDocMetaData& record);

private:
    std::vector<TDocMetaData> m_Records;
    std::unordered_map<int32_t, size_t> m_ById;
    std::unordered_map<std::string, size_t> m_ByStrId;
};

} // namespace corvane
