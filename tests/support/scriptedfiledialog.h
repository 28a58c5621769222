#pragma once

#include "common/filedialog.h"

#include <deque>
#include <vector>

namespace zelp::test {

// Answers file dialogs from a script (nullopt: cancelled) and keeps what they were asked.
class ScriptedFileDialog : public FileDialogService {
public:
    std::optional<QString> choose(const FileDialogRequest &request) override {
        requests.push_back(request);
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<QString>> answers;
    std::vector<FileDialogRequest> requests;
};

} // namespace zelp::test
