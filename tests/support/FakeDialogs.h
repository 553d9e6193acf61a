// A Dialogs double: records every message and question, answers from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/program/Dialogs.h"

namespace corvel::test {

class FakeDialogs : public app::Dialogs {
public:
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<std::string> answers;                         // "O" / "N"; "N" when the script runs out
    std::deque<std::optional<std::filesystem::path>> files;  // for the choosers; cancel when empty

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::string GetConfirmation(const std::string& question) override {
        questions.push_back(question);
        if (answers.empty()) return "N";
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::filesystem::path> OpenFile(const std::string&, const std::string&,
                                                  const std::filesystem::path&) override {
        return next();
    }
    std::optional<std::filesystem::path> SaveFile(const std::string&, const std::string&, const std::string&,
                                                  const std::filesystem::path&) override {
        return next();
    }
    std::optional<std::filesystem::path> ChooseFolder(const std::string&, const std::filesystem::path&) override {
        return next();
    }

private:
    std::optional<std::filesystem::path> next() {
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

}  // namespace corvel::test
