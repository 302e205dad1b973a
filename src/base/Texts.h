#pragma once
// Where the program's texts come from: the string table of the running program, or for
// the tests and the native build the generated table of the same strings. The ids are
// the IDS_ names of "TextIds.h", numbered from the resource scripts' string tables.
//
// Threads: useTexts() is called once at start, before any other thread runs; after that
// text() and gbText() may be called from any thread.

#include <string>
#include <string_view>

namespace tarnix {

class Texts {
  public:
    virtual ~Texts() = default;
    // The text of `id`; empty when there is no such id.
    virtual std::wstring_view find(unsigned id) const = 0;
};

// The source of every later text(); it must outlive them (the entry point's or a test
// main's object).
void useTexts(const Texts& texts);

// The text of `id`. Without useTexts() first, a logic_error: a text read before the
// program chose its source would be silently blank.
std::wstring text(unsigned id);
// The same text in code page 936, for the edges that write GB2312 bytes.
std::string gbText(unsigned id);

}  // namespace tarnix
