#pragma once
// The texts of a module's string table (the running program's, for the entry point).

#include <windows.h>

#include "base/Texts.h"

namespace tarnix {

class ResourceTexts final : public Texts {
  public:
    explicit ResourceTexts(HINSTANCE module) : module_(module) {}
    std::wstring_view find(unsigned id) const override;

  private:
    HINSTANCE module_;
};

}  // namespace tarnix
