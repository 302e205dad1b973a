#pragma once
// Answers every file and folder dialog with a path given in advance (or as cancelled)
// while it lives, and keeps what each one asked.
#include <filesystem>
#include <optional>
#include <vector>

#include "base/FileDialogs.h"

namespace tarnix::testing {

class PathAnswerer {
  public:
    explicit PathAnswerer(std::optional<std::filesystem::path> answer) : answer(std::move(answer)) {
        setPathHandler([this](const PathRequest& request) {
            asked.push_back(request);
            return this->answer;
        });
    }
    ~PathAnswerer() { setPathHandler({}); }
    PathAnswerer(const PathAnswerer&) = delete;
    PathAnswerer& operator=(const PathAnswerer&) = delete;

    std::optional<std::filesystem::path> answer;
    std::vector<PathRequest> asked;
};

}  // namespace tarnix::testing
