#include "base/Texts.h"

#include <atomic>
#include <stdexcept>

#include "base/CodePage.h"

namespace tarnix {
namespace {

std::atomic<const Texts*> source{nullptr};

}  // namespace

void useTexts(const Texts& texts) {
    source.store(&texts);
}

std::wstring text(unsigned id) {
    const Texts* texts = source.load();
    if (!texts) throw std::logic_error("a text was read before useTexts()");
    return std::wstring(texts->find(id));
}

std::string gbText(unsigned id) {
    return wideToGb(text(id));
}

}  // namespace tarnix
