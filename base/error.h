// error.h: the one exception type of the program. Raised for the unexpected failures that
// abort the current handler (a damaged resource, a file that cannot be created, a fixed
// registry value that cannot be set); the window layer catches it at the handler's edge and
// shows its text in the error box. The text is GBK.
#pragma once

#include <exception>
#include <string>

namespace setup {

class Error : public std::exception {
public:
    explicit Error(std::string text) : text_(std::move(text)) {}
    const char* what() const noexcept override { return text_.c_str(); }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// The error box's text: the error's text with a full stop appended when its last character
// sorts after "." (a text ending in ".", "!" or a blank keeps its ending).
std::string ErrorBoxText(const std::string& text);

}  // namespace setup
