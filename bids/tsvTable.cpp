#include "bids/tsvTable.h"

#include <algorithm>

namespace bids {

namespace {

std::vector<std::string> split(const std::string& line)
{
    std::vector<std::string> cells(1);
    for (char c : line) {
        if (c == '\t')
            cells.emplace_back();
        else
            cells.back().push_back(c);
    }
    return cells;
}

}  // namespace

int TsvTable::column(const std::string& name) const
{
    const auto at = std::find(columns.begin(), columns.end(), name);
    return at == columns.end() ? -1 : static_cast<int>(at - columns.begin());
}

std::string TsvTable::cell(std::size_t row, const std::string& name) const
{
    const int c = column(name);
    if (c < 0 || row >= rows.size() || static_cast<std::size_t>(c) >= rows[row].size())
        return std::string();
    return rows[row][static_cast<std::size_t>(c)];
}

void TsvTable::addRow(const std::vector<std::pair<std::string, std::string>>& cells)
{
    std::vector<std::string> row(columns.size(), "n/a");
    for (const auto& [name, value] : cells) {
        const int c = column(name);
        if (c >= 0)
            row[static_cast<std::size_t>(c)] = tsvCell(value);
    }
    rows.push_back(std::move(row));
}

TsvTable parseTsv(const std::string& text)
{
    TsvTable table;
    std::size_t at = 0;
    bool header = true;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        at = end + 1;
        if (line.empty())
            continue;
        if (header)
            table.columns = split(line);
        else
            table.rows.push_back(split(line));
        header = false;
    }
    return table;
}

std::string tsvText(const TsvTable& table)
{
    std::string text;
    const auto line = [&](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i)
            text += (i ? "\t" : "") + cells[i];
        text += '\n';
    };
    line(table.columns);
    for (const auto& row : table.rows)
        line(row);
    return text;
}

std::string tsvCell(const std::string& text)
{
    if (text.empty())
        return "n/a";
    std::string cell = text;
    std::replace_if(cell.begin(), cell.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return cell;
}

}  // namespace bids
