#pragma once

#include <stdexcept>
#include <string>

namespace corvane {

/// A failure that rootcut reports on one line: the class name, ": " and the message.
class TRootcutError : public std::runtime_error
{
public:
    TRootcutError(std::string className, const std::string& message)
        : std::runtime_error(message), m_ClassName(std::move(className))
    {
    }

    const std::string& ClassName() const { return m_ClassName; }

private:
    std::string m_ClassName;
};

} // namespace corvane
