#pragma once

#include <string>
#include <vector>

#include "data/recording.h"

namespace report {

// Width, in characters, of the patient dialog's comment box (278 dialog
// units in an 8-point dialog font, whose average character is 4 units wide,
// less the box's margins and its scroll bar): the width comments wrap at in
// the report, its export and printing.
constexpr std::size_t kCommentWrapWidth = 64;

// Wraps comment text as the word-wrapping comment box does: CR LF, CR or LF
// end a line; a line longer than the width breaks after its last blank that
// fits (the blanks stay with the first part), or, with no blank, at the width.
std::vector<std::string> wrapComments(const std::string& text, std::size_t width = kCommentWrapWidth);

// Empty or only characters up to the space character.
bool isBlank(const std::string& text);

// The patient block of the Report window: the ID and Name lines (each present
// when its field is not blank), then "Comments:" and the comment lines from the
// first to the last one that is not empty.
struct PatientBlock {
    std::string idLine;
    std::string nameLine;
    std::vector<std::string> comments;  // empty: no "Comments:" heading

    // ID, Name or Comments not blank.
    bool present() const { return !idLine.empty() || !nameLine.empty() || !comments.empty(); }
    // The lines as the page shows them.
    std::vector<std::string> lines() const;
};

PatientBlock makePatientBlock(const data::PatientSet& patient);

}  // namespace report
