#pragma once

#include <array>
#include <string>
#include <string_view>

namespace corvane {

/// A document's metadata: the author, then additional fields 1 to 20 (single-byte text).
constexpr int kMetaFieldCount = 21;
using TMetaFields = std::array<std::string, kMetaFieldCount>;

/// The metadata block stored with a document: 21 int32 byte lengths, then the non-empty strings
/// in the same order with no separators.
std::string EncodeMetaBlock(const TMetaFields& fields);

/// Decodes a block; false when the lengths do not fit the block (the fields are left empty).
bool DecodeMetaBlock(std::string_view block, TMetaFields& fields);

/// True for the container magics whose metadata blocks have this layout.
bool MetaBlockDecodable(std::string_view signature);

} // namespace corvane
