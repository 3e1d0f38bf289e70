// File > Treatment Course...: the Course window of the open recording's
// patient, over the recordings of its folder, and opening a row's recording.
#include <QGuiApplication>
#include <QScreen>
#include <filesystem>

#include "app/documentState.h"
#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "app/menuRules.h"
#include "course/courseWindow.h"
#include "data/recordingStore.h"
#include "platform/commandIds.h"
#include "platform/dialogs.h"
#include "state/startupState.h"

namespace app {

namespace {

// Keeps a top-level window inside the screen that shows most of `frame`.
void placeOver(QWidget* window, const QWidget* frame)
{
    const QScreen* screen = frame->screen() ? frame->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect wanted(QPoint(0, 0), window->size().boundedTo(area.size() - QSize(40, 60)));
    wanted.moveCenter(frame->geometry().center());
    wanted.moveLeft(std::clamp(wanted.left(), area.left(), area.right() - wanted.width()));
    wanted.moveTop(std::clamp(wanted.top(), area.top() + 30, area.bottom() - wanted.height()));
    window->setGeometry(wanted);
}

}  // namespace

void FrameWindow::treatmentCourse()
{
    namespace fs = std::filesystem;
    const data::PatientSet& patient = data::recordings.primary.patient;
    course::CourseQuery query;
    query.patientId = patient.text[data::patientId];
    query.patientName = patient.text[data::patientName];
    query.folder = document.currentFilePath.empty() ? state::startup.lastDir : fs::path(document.currentFilePath).parent_path().string();
    if (query.folder.empty())
        query.folder = fs::current_path().string();
    if (query.patientId.find_first_not_of(" \t") == std::string::npos &&
        query.patientName.find_first_not_of(" \t") == std::string::npos) {
        platform::messageBox(this, "The recording has no patient ID or name: there is no course to show.", "Ozmar",
                             platform::Buttons::ok, platform::Icon::exclamation);
        return;
    }
    if (query.patientId.find_first_not_of(" \t") == std::string::npos)
        query.patientId.clear();
    delete course_.data();
    // No parent: a window the frame can come in front of when a row's recording opens.
    course_ = new course::CourseWindow(nullptr, query, [this](const std::string& path) { openChosenFile(path); });
    course_->setAttribute(Qt::WA_DeleteOnClose);
    placeOver(course_, this);
    course_->show();
    course_->scan();
}

void FrameWindow::openChosenFile(const std::string& path)
{
    if (!itemState(cmd::fileOpen, menuContext()).enabled)
        return;
    if (askToSave(this, true, "%s - Open", effects()) == platform::IDCANCEL)
        return;
    if (!openPath(this, path, effects()))
        return;
    openReport(false);
    raise();
    activateWindow();
}

}  // namespace app
