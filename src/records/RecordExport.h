#pragma once
// The export of the listed sessions to a text file: one line per row, the eight cells
// separated by tabs, CR LF after each line, appended to the end of the chosen file.
//
// A new file is GB2312, as every text the client writes (the message centre's export,
// the records themselves), so peers that read the exports read these too. An existing
// file keeps its own encoding: UTF-8 or UTF-16 by its byte-order mark, UTF-8 when it
// holds UTF-8 beyond plain ASCII, otherwise GB2312.

#include <filesystem>
#include <string>

#include "records/RecordTable.h"

namespace tarnix {

enum class TextEncoding { Utf8WithMark, Utf8, Utf16Le, Utf16Be, Gb2312 };

class RecordExport {
  public:
    // The lines of every row, GB2312.
    static std::string lines(const RecordTable& table);
    // How text appended to a file of these bytes is encoded.
    static TextEncoding encodingFor(std::string_view existing);
    // `existing` with the GB2312 `lines` appended in its encoding (a line break first when
    // its last line has none).
    static std::string appended(std::string_view existing, std::string_view lines);

    // Appends the rows to the file (crash-safe: a failure leaves it as it was). Returns a
    // message for the user on failure, else empty.
    static std::string appendTo(const std::filesystem::path& file, const RecordTable& table);
};

}  // namespace tarnix
