#include "serial/transferRun.h"

#include "data/linkState.h"

namespace serial {

TransferRun::TransferRun(TransferKind kind, data::ProgressSink* progress) : kind_(kind), progress_(progress)
{
}

TransferRun::~TransferRun()
{
    if (thread_.joinable()) {
        cancel();
        thread_.join();
    }
}

void TransferRun::start()
{
    data::linkState.stopRequested = false;
    thread_ = std::thread([this] { run(); });
}

void TransferRun::run()
{
    const TransferContext context{progress_, [this] { close(); }};
    switch (kind_) {
    case TransferKind::receive: receiveSession(context); break;
    case TransferKind::send: sendSession(context, false); break;
    case TransferKind::sendName: sendSession(context, true); break;
    case TransferKind::upload: uploadSession(context); break;
    }
}

// The dialog's Cancel: the result is whether the thread had finished its work;
// then the stop request ends a thread that still runs. The thread itself
// resets the recording and the handshake of a cancelled reception.
void TransferRun::close()
{
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return;
        result_ = data::linkState.stopRequested.load();
        data::linkState.stopRequested = true;
        closed_ = true;
        changed_.notify_all();
    }
    if (onClosed)
        onClosed();
}

void TransferRun::cancel()
{
    close();
}

bool TransferRun::waitClosed(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return closed_; });
}

void TransferRun::join()
{
    if (thread_.joinable())
        thread_.join();
}

bool TransferRun::closed() const
{
    std::lock_guard lock(mutex_);
    return closed_;
}

bool TransferRun::result() const
{
    std::lock_guard lock(mutex_);
    return result_;
}

}  // namespace serial
