// Records what the program would show the user, and answers questions from a script.
#pragma once

#include "core/messages.h"

#include <deque>
#include <string>
#include <vector>

namespace vdl::test {

class FakeMessages : public Messages {
public:
    void Error(const std::string& text) override { errors.push_back(text); }
    void Info(const std::string& text) override { infos.push_back(text); }
    Answer Ask(const std::string& text, bool) override {
        questions.push_back(text);
        if (answers.empty()) return Answer::No;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::vector<std::string> errors;
    std::vector<std::string> infos;
    std::vector<std::string> questions;
    std::deque<Answer> answers; // given in order; No when empty
};

} // namespace vdl::test
