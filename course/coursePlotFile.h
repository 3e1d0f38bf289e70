#pragma once

#include <string>

namespace course {

struct Course;

// The problem text of a plot file whose name ends in neither .png nor .pdf.
extern const char kUnknownPlotKind[];

// Writes the course's panels as a PNG of 1600 x 1000 pixels or a PDF page of
// A4 landscape, by the file name's ending, through a temporary file that
// replaces `path` only once complete. Empty on success, else the problem. Makes
// an off-screen Qt application for the fonts when the process has none.
std::string writeCoursePlot(const Course& course, const std::string& path);

}  // namespace course
