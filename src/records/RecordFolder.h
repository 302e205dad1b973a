#pragma once
// The record folder, data\record beside the program: which record files there are and
// which of them a query reads.
//
// Record files are the *.xml files, and the month files the dial writer set aside as
// damaged (*.xml.damaged, *.xml.damaged-2, ...), whose readable records still count.
// Temporary files of an interrupted save and anything else in the folder are left alone.
// Files are taken in name order, which is the order of the months.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "records/RecordFilter.h"

namespace tarnix {

struct RecordFileEntry {
    std::filesystem::path path;
    std::string stem;  // GB2312 name before ".xml": "2009-06"
    uintmax_t size = 0;
};

class RecordFolder {
  public:
    explicit RecordFolder(std::filesystem::path folder);

    const std::filesystem::path& path() const { return folder_; }
    // Makes the data folder and the record folder when missing; a failure shows later,
    // when a file cannot be read or saved.
    void create() const;

    std::vector<RecordFileEntry> files() const;
    std::vector<RecordFileEntry> choose(const RecordFilter& filter) const;
    // Every account that has a record, in order of first appearance, each once.
    std::vector<std::string> accountNames() const;
    // The year list: "所有", 2009 through `currentYear` and later years that have a file.
    std::vector<std::string> yearChoices(int currentYear) const;

  private:
    std::filesystem::path folder_;
};

}  // namespace tarnix
