#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>

namespace impmap {

// A failure the user must read: what() is the complete message as the error box shows it.
// ErrorLine() is the part that names the problem alone (a validator's "ERROR: ..." line, or the
// whole message where there is no record/field framing), for reports that frame it themselves.
// what() is a C string, so a NUL byte of a quoted value would cut the message short: both texts
// show NUL bytes as '?'.
class Rejection : public std::runtime_error
{
public:
    explicit Rejection(const std::string& message)
        : std::runtime_error(ShowNul(message)), errorLine_(ShowNul(message))
    {}
    Rejection(const std::string& message, std::string errorLine)
        : std::runtime_error(ShowNul(message)), errorLine_(ShowNul(std::move(errorLine)))
    {}
    const std::string& ErrorLine() const { return errorLine_; }

private:
    static std::string ShowNul(std::string text)
    {
        std::replace(text.begin(), text.end(), '\0', '?');
        return text;
    }

    std::string errorLine_;
};

} // namespace impmap
