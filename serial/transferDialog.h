#pragma once

#include <QDialog>
#include <atomic>
#include <mutex>
#include <functional>
#include <memory>

#include "data/progressSink.h"
#include "platform/guiQueue.h"
#include "serial/transferRun.h"

class QLabel;
class QProgressBar;

namespace serial {

// The progress dialog of the four transfers ("RECEIVE"): the stage label
// (301), the percent label (302), the bar (1014, 0 to 100) and Cancel (2).
// It runs the transfer on its thread; the thread only records its progress
// and posts its end here, and the dialog alone touches its widgets. Cancel closes it at
// once with result 0; the thread ends at its next check.
class TransferDialog : public QDialog, public data::ProgressSink {
public:
    TransferDialog(TransferKind kind, QWidget* parent);
    ~TransferDialog() override;

    // Runs the transfer to its end (modal, hourglass cursor); true only when the
    // transfer finished its work. The thread has ended when it returns.
    bool run();

    // The title of a transfer: "%s Data Receiving...", "%s Data Sending..." or
    // "%s Uploading to %s..." with the port name ("COM1:") and the upload file.
    static QString titleFor(TransferKind kind);

    // Called when a dialog has opened (tests attach to it here).
    static inline std::function<void(TransferDialog&)> opened;

    // From the transfer thread.
    void setStage(const std::string& text) override;
    void setPercentText(const std::string& text) override;
    void setBarPosition(int position) override;
    void stepBar() override;

    // The progress the thread reported last, and the bar as the dialog shows it.
    int barValue() const;
    QString stageText() const;
    int shownBarValue() const;
    void pressCancel();

protected:
    void reject() override;

private:
    void post();
    void showProgress();

    platform::GuiQueue gui_;  // the thread's end, handed to the dialog (outlives the thread)
    TransferRun run_;
    // The progress as the thread last set it, under its own lock.
    struct Progress {
        QString stage, percent;
        int bar = 0;
    };
    mutable std::mutex progressMutex_;
    Progress progress_;
    std::atomic<unsigned> progressVersion_{0};  // raised by every change
    unsigned shownVersion_ = 0;
    QLabel* stage_;
    QLabel* percent_;
    QProgressBar* bar_;
};

}  // namespace serial
