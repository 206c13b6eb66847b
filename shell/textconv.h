#pragma once

#include "platform/codepage.h"

#include <QString>

#include <string>
#include <string_view>

namespace corvane {

// The one place where text crosses between the core (Windows-1251 or UTF-8 std::string) and Qt.

/// Windows-1251 bytes (texts of containers and tables) as a QString.
inline QString FromAnsi(std::string_view ansi)
{
    const std::string utf8 = Cp1251ToUtf8(ansi);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

/// A QString as Windows-1251 bytes; characters the code page lacks become "?".
inline std::string ToAnsi(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp1251(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

/// UTF-8 text or a path as a QString.
inline QString FromUtf8(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string ToUtf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

} // namespace corvane
