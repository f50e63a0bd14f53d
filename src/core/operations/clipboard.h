// Lines as clipboard text: the data file's own line format, one data line
// per text line, each ended by CR LF, without header.
#pragma once

#include <string>
#include <vector>

#include "core/document/data_line.h"
#include "core/document/editor_model.h"

namespace qz {

// The text of the selected lines, in list order, each as stored (nothing
// for a blank line) and followed by CR LF.
std::string selected_lines_text(const EditorModel& model);

// The data lines of a clipboard text, each classified as the reader
// classifies a line of a data file of `version` (invalid lines become
// comments). Text up to the first NUL counts; an empty text gives no line.
std::vector<DataLine> lines_from_text(std::string text, int version);

// Inserts the lines of a clipboard text after the current line (at the top
// when there is none), as one step.
ChangeReport paste_text(EditorModel& model, std::string text);

}  // namespace qz
