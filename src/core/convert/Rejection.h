#pragma once

#include <stdexcept>
#include <string>

namespace impmap {

// A failure the user must read: what() is the complete message as the error box shows it.
// ErrorLine() is the part that names the problem alone (a validator's "ERROR: ..." line, or the
// whole message where there is no record/field framing), for reports that frame it themselves.
class Rejection : public std::runtime_error
{
public:
    explicit Rejection(const std::string& message)
        : std::runtime_error(message), errorLine_(message)
    {
    }
    Rejection(const std::string& message, std::string errorLine)
        : std::runtime_error(message), errorLine_(std::move(errorLine))
    {
    }
    const std::string& ErrorLine() const { return errorLine_; }

private:
    std::string errorLine_;
};

} // namespace impmap
