// How the program tells the user something or asks a question: an error box in the desktop
// program, standard error in the command-line program, a recorder in tests.
#pragma once

#include <string>

namespace vdl {

enum class Answer { Yes, No, Cancel };

class Messages {
public:
    virtual ~Messages() = default;
    // A modal error box with an OK button.
    virtual void Error(const std::string& text) = 0;
    // An information box with an OK button.
    virtual void Info(const std::string& text) = 0;
    // A question with Yes and No (cancel = false) or Yes, No and Cancel (cancel = true).
    virtual Answer Ask(const std::string& text, bool cancel = false) = 0;
};

} // namespace vdl
