#pragma once

#include <QProgressDialog>
#include <QString>

class QWidget;

namespace platform {

// A box that shows how far a long job has come, with Cancel (asked between
// its items, so no item is left half done) and a wait cursor while it lasts.
class ProgressBox {
public:
    ProgressBox(QWidget* owner, const QString& title, int count);
    ~ProgressBox();
    ProgressBox(const ProgressBox&) = delete;
    ProgressBox& operator=(const ProgressBox&) = delete;

    // Item `number` (from 1) of `count` is next, described by `text`; false
    // when Cancel was pressed.
    bool step(int number, int count, const QString& text);

private:
    QProgressDialog dialog_;
};

}  // namespace platform
