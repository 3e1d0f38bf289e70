#pragma once

#include <string>
#include <vector>

namespace bids {

// A tab-separated table: a header row of column names, then rows of cells.
struct TsvTable {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;

    // The column's index, or -1.
    int column(const std::string& name) const;
    // The cell of a row in the named column; "" when there is no such column.
    std::string cell(std::size_t row, const std::string& name) const;
    // Adds a row given as (column, value) pairs; the table's other columns get "n/a".
    void addRow(const std::vector<std::pair<std::string, std::string>>& cells);
};

// Parses TSV text (LF or CRLF line ends); an empty text is an empty table.
TsvTable parseTsv(const std::string& text);

// The table as TSV text with LF line ends.
std::string tsvText(const TsvTable& table);

// A cell as TSV holds it: tabs and line breaks become spaces; empty is "n/a".
std::string tsvCell(const std::string& text);

}  // namespace bids
