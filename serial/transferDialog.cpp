#include "serial/transferDialog.h"

#include <QApplication>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/qtText.h"
#include "serial/serialPort.h"
#include "serial/transfers.h"

namespace serial {

TransferDialog::TransferDialog(TransferKind kind, QWidget* parent) : QDialog(parent), run_(kind, this)
{
    setObjectName("RECEIVE");
    setWindowTitle(titleFor(kind));
    setModal(true);
    stage_ = new QLabel(" ", this);
    stage_->setObjectName("control301");
    stage_->setMinimumWidth(320);
    percent_ = new QLabel(" ", this);
    percent_->setObjectName("control302");
    percent_->setAlignment(Qt::AlignCenter);
    bar_ = new QProgressBar(this);
    bar_->setObjectName("control1014");
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("control2");
    connect(cancel, &QPushButton::clicked, this, &TransferDialog::pressCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stage_);
    layout->addWidget(percent_);
    layout->addWidget(bar_);
    layout->addWidget(cancel, 0, Qt::AlignCenter);
    // The thread's end (or Cancel) closes the dialog with the transfer's result.
    run_.onClosed = [this] {
        gui_.post([this] {
            showProgress();
            done(run_.result() ? 1 : 0);
        });
    };
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TransferDialog::showProgress);
    timer->start(33);
}

TransferDialog::~TransferDialog() = default;

QString TransferDialog::titleFor(TransferKind kind)
{
    const QString port = QString("COM%1:").arg(serialPort.portNumber);
    switch (kind) {
    case TransferKind::receive: return port + " Data Receiving...";
    case TransferKind::upload:
        return port + " Uploading to " + platform::fromWindows1252(transferState.uploadFile) + "...";
    default: return port + " Data Sending...";
    }
}

bool TransferDialog::run()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    run_.start();
    if (opened)
        QTimer::singleShot(0, this, [this] { opened(*this); });
    const int result = exec();
    run_.join();
    QApplication::restoreOverrideCursor();
    return result == 1;
}

void TransferDialog::pressCancel()
{
    run_.cancel();
}

void TransferDialog::reject()
{
    pressCancel();  // Escape and the close box cancel as the button does
}

// The thread only records its progress; the dialog shows the latest state
// 30 times a second, so that a fast line never floods it with work.
void TransferDialog::post()
{
    ++progressVersion_;
}

void TransferDialog::showProgress()
{
    const unsigned version = progressVersion_;
    if (version == shownVersion_)
        return;
    shownVersion_ = version;
    Progress p;
    {
        std::lock_guard lock(progressMutex_);
        p = progress_;
    }
    if (stage_->text() != p.stage)
        stage_->setText(p.stage);
    if (percent_->text() != p.percent)
        percent_->setText(p.percent);
    bar_->setValue(p.bar);
}

void TransferDialog::setStage(const std::string& text)
{
    {
        std::lock_guard lock(progressMutex_);
        progress_.stage = platform::fromWindows1252(text);
    }
    post();
}

void TransferDialog::setPercentText(const std::string& text)
{
    {
        std::lock_guard lock(progressMutex_);
        progress_.percent = QString::fromLatin1(text.c_str());
    }
    post();
}

void TransferDialog::setBarPosition(int position)
{
    {
        std::lock_guard lock(progressMutex_);
        progress_.bar = position;
    }
    post();
}

void TransferDialog::stepBar()
{
    {
        std::lock_guard lock(progressMutex_);
        progress_.bar = std::min(100, progress_.bar + 1);
    }
    post();
}

int TransferDialog::barValue() const
{
    std::lock_guard lock(progressMutex_);
    return progress_.bar;
}

QString TransferDialog::stageText() const
{
    std::lock_guard lock(progressMutex_);
    return progress_.stage;
}

int TransferDialog::shownBarValue() const
{
    return bar_->value();
}

}  // namespace serial
