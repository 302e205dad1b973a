#include "store/DamagedFile.h"

#include <string>

#include "store/SafeFile.h"

namespace tarnix {

std::filesystem::path keepDamagedAside(const std::filesystem::path& file) {
    for (int n = 1; n < 1000; ++n) {
        std::filesystem::path aside = file;
        aside += n == 1 ? ".damaged" : ".damaged-" + std::to_string(n);
        switch (moveWithoutReplacing(file, aside)) {
            case MoveResult::Moved:
                return aside;
            case MoveResult::TargetExists:
                continue;
            case MoveResult::Failed:
                return {};
        }
    }
    return {};
}

}  // namespace tarnix
