#pragma once

#include <string>

namespace data {

// Where a transfer shows its progress: the progress dialog, or a command-line
// tool's standard error.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void setStage(const std::string& text) = 0;
    virtual void setPercentText(const std::string& text) = 0;
    virtual void setBarPosition(int position) = 0;
    virtual void stepBar() = 0;
};

}  // namespace data
