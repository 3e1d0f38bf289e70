#include "report/markedText.h"

namespace report {

namespace {

void place(std::string& cells, std::size_t at, const std::string& run)
{
    if (cells.size() < at + run.size())
        cells.resize(at + run.size(), ' ');
    cells.replace(at, run.size(), run);
}

}  // namespace

std::string markedTextInColumns(const std::string& text, std::size_t tabWidth)
{
    std::string cells;
    std::size_t pen = 0;
    std::string run;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
        if (c >= 32) {
            run.push_back(static_cast<char>(c));
            continue;
        }
        if (c == '\b') {
            place(cells, pen >= run.size() ? pen - run.size() : 0, run);
            place(cells, pen, "|");
        } else if (!run.empty()) {
            place(cells, pen, run);
            if (c != '\t')
                pen += run.size();
        }
        if (c == '\t')
            pen += tabWidth;
        if (c == '\b')
            pen += 1;
        run.clear();
    }
    return cells;
}

}  // namespace report
