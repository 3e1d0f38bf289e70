#pragma once

class QPainter;
class QRectF;

namespace course {

struct Course;

// Draws the course's panels into `area`: the EEG and EMG endpoints, the
// postictal suppression, the seizure energy index, the maximum sustained
// coherence and the peak heart rate, each against the treatment number with
// the dates under the axis, its least-squares trend, the charge as a step line
// on a second axis, dose increases as vertical lines and flagged treatments
// marked. One drawing for the window, the image, the PDF and the printer.
void drawCoursePanels(QPainter& painter, const QRectF& area, const Course& course);

}  // namespace course
