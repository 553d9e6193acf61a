// The modal exchanges with the user, behind an interface: the window answers them with Qt
// dialogs, a headless run on standard error, a test with scripted answers.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace corvel::config {
struct FileWriteResult;
}

namespace corvel::app {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message box with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // A yes/no question; the answer is "O" (oui) or "N" (non).
    virtual std::string GetConfirmation(const std::string& question) = 0;
    // File choosers: the chosen path, or nothing when cancelled. `filter` reads
    // "Description|*.ext".
    virtual std::optional<std::filesystem::path> OpenFile(const std::string& title, const std::string& filter,
                                                          const std::filesystem::path& folder) = 0;
    virtual std::optional<std::filesystem::path> SaveFile(const std::string& title, const std::string& filter,
                                                          const std::string& defaultExtension,
                                                          const std::filesystem::path& folder) = 0;
    virtual std::optional<std::filesystem::path> ChooseFolder(const std::string& title,
                                                              const std::filesystem::path& folder) = 0;
};

// Dialogs with nobody to answer them (a headless run, a benchmark): each message goes to
// `onMessage` (if any), every question is answered "N", every chooser is cancelled.
class QuietDialogs : public Dialogs {
public:
    explicit QuietDialogs(std::function<void(const std::string&)> onMessage = {}) : onMessage_(std::move(onMessage)) {}
    void ShowMessage(const std::string& text) override {
        if (onMessage_) onMessage_(text);
    }
    std::string GetConfirmation(const std::string&) override { return "N"; }
    std::optional<std::filesystem::path> OpenFile(const std::string&, const std::string&,
                                                  const std::filesystem::path&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> SaveFile(const std::string&, const std::string&, const std::string&,
                                                  const std::filesystem::path&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseFolder(const std::string&, const std::filesystem::path&) override {
        return std::nullopt;
    }

private:
    std::function<void(const std::string&)> onMessage_;
};

// Tells the user how the save of `path` went: nothing when the file is on the disk; `failure`
// followed by the system's reason when it was not saved; a notice when it is in place but its
// folder could not be flushed to the disk (a power cut could bring the previous file back).
void ReportSave(Dialogs& dialogs, const config::FileWriteResult& result, const std::filesystem::path& path,
                const std::string& failure);

}  // namespace corvel::app
