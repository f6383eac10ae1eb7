// The tracker layer's error: raised by a failed check inside an operation and caught by the
// wrapper, so that it never reaches the application. Its fields are never shown to anybody.
#pragma once

#include <exception>
#include <string>

namespace quillon {
namespace tracking {

class QlException : public std::exception {
public:
    QlException(std::string file, std::string function, int line, std::string message)
        : m_File(std::move(file)), m_Function(std::move(function)), m_Line(line), m_Message(std::move(message)) {}

    const char* what() const noexcept override { return m_Message.c_str(); }

    const std::string& file() const { return m_File; }
    const std::string& function() const { return m_Function; }
    int line() const { return m_Line; }
    int code() const { return m_Code; }
    int subCode() const { return m_SubCode; }

private:
    std::string m_File;
    std::string m_Function;
    int m_Line;
    int m_Code = -1;
    int m_SubCode = -1;
    std::string m_Message;
};

}  // namespace tracking
}  // namespace quillon

#define QL_THROW(message) throw ::quillon::tracking::QlException(__FILE__, __func__, __LINE__, (message))
