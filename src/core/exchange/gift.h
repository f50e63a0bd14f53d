// Moodle GIFT: categories, multiple-choice, short-answer and true/false
// questions, "//" comments.
#pragma once

#include <string>
#include <string_view>

#include "core/exchange/exchange.h"

namespace qz {

// Titles become "$CATEGORY:" lines: the title's " / " separate the
// category path's elements, a '/' within one is doubled (a title that
// would not read back so is one element; one whose first element reads
// as Moodle's context or root goes under "$course$/top/"). A title
// without a name is "$CATEGORY: $course$/top", the course's root, which
// reads back as no category; an empty path is never written.
// A question
// under a title whose choice count is 0 or 1 becomes a short-answer
// question with one "=" entry per alternative of its expanded answer (a
// '*', which Moodle matches with anything, written "\\*", a star to
// Moodle); under a multiple-choice title (choice count n > 1) it becomes
// "{=right ~wrong …}" with n - 1 wrong choices taken from the shown
// alternatives of the other questions under the same title (the next ones
// in order, different from the right one), "{T}" or "{F}" for ○ and ×
// under a two-choice title, and "{=right}" when the title gives no wrong
// choice. Comments become "//" lines before their question (a title's
// comment right after its category line).
// "~ = # { } :" and "\" are escaped with "\", a line break is written as
// "\n". A question whose text or choices hold '<', '>' or '&' (which
// Moodle's default format shows as markup) is marked "[plain]", as is
// one that would read as a comment, category, name or format mark; an
// answer that starts with a format mark is marked "[plain]" itself.
// Left out (and counted): an empty question or answer, and an answer
// holding "->", which every reader takes for a matching question.
// The category path of a title (UTF-8) as written above: elements joined
// by '/', a '/' within one doubled; empty for a title without a name.
std::string category_path(std::string title);

ExportResult write_gift(const std::vector<ExchangeCard>& cards, const ExportOptions& options);

// Reads the same subset as Moodle reads it. "$CATEGORY:" lines become
// titles named by the path without Moodle's context ("$course$", ...) and
// root ("top") in front, its elements joined by " / " ("$course$/top/
// Unit 1/Quiz" is "Unit 1 / Quiz"); questions under no category (or an
// empty path) go under a title named `file_title` (code page 932).
// A short answer's entries ("=a =b", or "a" without any mark) become the
// alternatives of the answer (a '*', which Moodle matches with anything,
// with a notice; "\*" is a star); a multiple-choice question with n
// choices goes under a title with choice count n (the right choice its
// answer; an empty choice, as in "~=right", is none); true/false gives
// the answer "○" or "×" under a title with choice count 2; "//" lines
// before a question its comment. "::name::" and the format marks of the
// question and of each answer are dropped; the text of "[html]" (the
// question's format is its answers' too) is read as HTML (html_shown_text:
// <img> becomes a picture reference, with a notice for a question bank's
// file); U+00A0 is a space. Feedback, general feedback ("####…") and
// weights ("%50%") are dropped with a notice, and one notice says that
// wrong choices are not kept (tell_drawn_choices). Any other question
// type (matching, numerical, essay, description, ...) and unbalanced
// braces are refused with the line number and the reason. Lines end in
// LF, CR LF or CR. Titles split where the category or the choice count
// changes.
ImportResult read_gift(std::string_view bytes, TextEncoding encoding, const std::string& file_title = {});

}  // namespace qz
