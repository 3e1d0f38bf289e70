#include "report/patientBlock.h"

#include <algorithm>
#include <cstdio>

namespace report {

namespace {

// The age and sex parts of a line: "   Age: %d" (1 to 199 only), "   Sex: %c".
std::string ageAndSex(const data::PatientSet& p)
{
    std::string parts;
    char text[32];
    if (p.patientAge > 0 && p.patientAge < 200) {
        std::snprintf(text, sizeof text, "   %s: %d", data::kPatientFieldLabel[data::patientAgeField], p.patientAge);
        parts += text;
    }
    std::snprintf(text, sizeof text, "   %s: %c", data::kPatientFieldLabel[data::patientSexField],
                  p.patientSex == data::kSexFemale ? 'F' : 'M');
    return parts + text;
}

std::vector<std::string> hardLines(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back().push_back(text[i]);
        }
    }
    return lines;
}

}  // namespace

bool isBlank(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

std::vector<std::string> wrapComments(const std::string& text, std::size_t width)
{
    std::vector<std::string> out;
    for (std::string line : hardLines(text)) {
        while (line.size() > width) {
            // Break after the last blank within the width; blanks after it stay on this line.
            std::size_t cut = line.find_last_of(' ', width);
            cut = cut == std::string::npos || cut == 0 ? width : cut + 1;
            while (cut < line.size() && line[cut] == ' ')
                ++cut;
            out.push_back(line.substr(0, cut));
            line.erase(0, cut);
        }
        out.push_back(line);
    }
    return out;
}

std::vector<std::string> PatientBlock::lines() const
{
    std::vector<std::string> out;
    if (!idLine.empty())
        out.push_back(idLine);
    if (!nameLine.empty())
        out.push_back(nameLine);
    if (!comments.empty()) {
        out.push_back("Comments:");
        out.insert(out.end(), comments.begin(), comments.end());
    }
    return out;
}

PatientBlock makePatientBlock(const data::PatientSet& p)
{
    PatientBlock block;
    const std::string& id = p.text[data::patientId];
    const std::string& name = p.text[data::patientName];
    if (!isBlank(id))
        block.idLine = std::string("ID: ") + id + (isBlank(name) ? ageAndSex(p) : "");
    if (!isBlank(name))
        block.nameLine = std::string("Name: ") + name + ageAndSex(p);
    std::vector<std::string> comments = wrapComments(p.text[data::patientComments]);
    const auto first = std::find_if(comments.begin(), comments.end(), [](const std::string& l) { return !l.empty(); });
    const auto last = std::find_if(comments.rbegin(), comments.rend(), [](const std::string& l) { return !l.empty(); });
    if (!isBlank(p.text[data::patientComments]) && first != comments.end())
        block.comments.assign(first, last.base());
    return block;
}

}  // namespace report
