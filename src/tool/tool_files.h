// Files as qzotool's commands read and write them, with the editor's own
// messages on the error stream.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "core/document/card_document.h"
#include "core/document/data_file.h"

namespace qz::tool {

bool read_file(const std::string& path, std::string& bytes);
// read_file on a path as the editor writes it: on Linux a backslash
// separates folders too.
bool read_local_file(const std::string& path, std::string& bytes);

// "FILE: message" on the error stream (the file name as given).
void report(std::ostream& err, const std::string& path, const char* message);

// read_file, or false after the editor's message.
bool read_or_report(const std::string& path, std::string& bytes, std::ostream& err);

// Reads and loads a file the way the editor opens it; false after a message.
// `result`, when given, gets what reading found.
bool load(const std::string& path, CardDocument& doc, std::ostream& err,
          LoadResult* result = nullptr);

}  // namespace qz::tool
