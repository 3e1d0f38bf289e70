#pragma once

#include <string>
#include <vector>

namespace course {

struct Course;
struct CourseRow;

// The names of the course CSV's columns, and one row's cells (UTF-8) in their order.
std::vector<std::string> courseColumnNames();
std::vector<std::string> courseCells(const Course& course, const CourseRow& row);

// The course as CSV (UTF-8, RFC 4180, CRLF line ends): the header row, then
// one row per treatment or session.
std::string courseCsv(const Course& course);

// The course as a table in columns for a terminal (UTF-8): the patient, then a
// row per treatment with the measures a clinician reads first and the flags,
// then the monitoring recordings left out.
std::string courseColumns(const Course& course);

// The charge change as the table writes it: one decimal, signed.
std::string percentChange(double change);

}  // namespace course
