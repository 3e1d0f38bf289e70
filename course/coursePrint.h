#pragma once

class QPagedPaintDevice;

namespace course {

struct Course;

// The pages of a printed course: the panels on the first, landscape, then
// the table (as the terminal's columns, in a fixed-pitch font) on as many
// pages as it needs. False when the device could not be painted on.
bool printCourse(QPagedPaintDevice& device, const Course& course);

}  // namespace course
