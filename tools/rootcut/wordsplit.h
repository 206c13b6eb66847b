#pragma once

#include <string>
#include <string_view>

namespace corvane {

/// True for the bytes that separate words (`punctmarks`): space and " # $ % & ' ( ) + , - . / :
/// ; < = > ? @ \ ^ _ { } ~. Every other byte, "!" "*" "[" "]" "`" "|" included, is part of a word.
bool IsPunctMark(unsigned char c);

/// Splits `text` into words and appends "{stem} " for each word, in order, to `out`. The last
/// byte of the text is never looked at: it is the space that follows the last line.
void StemWords(std::string_view text, std::string& out);

} // namespace corvane
