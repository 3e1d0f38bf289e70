#include "monitor/playRange.h"

#include <cstdio>

namespace monitor {

PlayRange parsePlayRange(const std::string& text, PlayRange current, std::uint32_t lengthSeconds)
{
    unsigned start = 0, end = 0;
    int fields = 0;
    for (const char* form : {" %u - %u", " %u %u", " %u , %u"}) {
        fields = std::sscanf(text.c_str(), form, &start, &end);
        if (fields == 2)
            break;
    }
    // A leading minus sign reads as a huge unsigned start: out of range, as it should be.
    if (fields < 1 || text.find('-') < text.find_first_of("0123456789") || start > lengthSeconds)
        return current;
    if (fields < 2 || end > lengthSeconds || end <= start)
        end = lengthSeconds;
    return {start, end};
}

std::string playRangeText(PlayRange range)
{
    return std::to_string(range.start) + "-" + std::to_string(range.end);
}

}  // namespace monitor
