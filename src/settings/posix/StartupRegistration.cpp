// No Run key here: the value is kept in memory for the life of the process.
#include "settings/StartupRegistration.h"

#include <mutex>
#include <optional>

namespace tarnix {
namespace {

class MemoryStartupRegistration : public StartupRegistration {
  public:
    RunValue query(const std::filesystem::path& program) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!value_) return RunValue::Absent;
        if (*value_ == program) return RunValue::Ours;
        std::error_code error;
        return std::filesystem::exists(*value_, error) ? RunValue::Other : RunValue::Stale;
    }
    std::filesystem::path data() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return value_.value_or(std::filesystem::path());
    }
    bool add(const std::filesystem::path& program) override {
        std::lock_guard<std::mutex> lock(mutex_);
        value_ = program;
        return true;
    }
    void remove() override {
        std::lock_guard<std::mutex> lock(mutex_);
        value_.reset();
    }

  private:
    std::mutex mutex_;
    std::optional<std::filesystem::path> value_;
};

}  // namespace

StartupRegistration& systemStartupRegistration() {
    static MemoryStartupRegistration registration;
    return registration;
}

std::filesystem::path currentProgramPath() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error);
}

}  // namespace tarnix
