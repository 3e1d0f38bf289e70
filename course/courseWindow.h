#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "course/courseTable.h"
#include "platform/dialogs.h"

class QCheckBox;
class QLabel;
class QTableWidget;

namespace course {

// Which patient a Course window shows, and where it looks.
struct CourseQuery {
    std::string patientId;    // empty: the course is found by the name
    std::string patientName;
    std::string folder;
    bool recursive = false;
};

// The treatment course of one patient in a window of its own: the folder it
// searches (changed with Change Folder..., subfolders with a check box), the
// table with its flagged cells marked, and the panels. Double-clicking a row
// asks `openRecording` to open that file. Save As Text writes the CSV, Save
// As Image the PNG, Print the panels and the table. A scan of many files shows
// its progress and can be cancelled.
class CourseWindow : public QWidget {
    Q_OBJECT
public:
    CourseWindow(QWidget* owner, CourseQuery query, std::function<void(const std::string& path)> openRecording);
    ~CourseWindow() override;

    // Reads the folder again and shows what it holds.
    void scan();
    const Course& course() const { return course_; }
    QTableWidget& table() const { return *table_; }
    const CourseQuery& query() const { return query_; }

    // The buttons' work, also for tests.
    void changeFolder();
    void setRecursive(bool on);
    void saveAsText();
    void saveAsImage();
    void print();
    void openRow(int row);

private:
    void fillTable();
    void tell(const std::string& text);
    // A save dialog in the course's folder, proposing "course-ID.EXT".
    platform::FileRequest saveRequest(const std::string& title, const std::string& filter, const std::string& extension) const;

    CourseQuery query_;
    std::function<void(const std::string&)> openRecording_;
    Course course_;
    std::string status_;
    QLabel* folderLabel_ = nullptr;
    QLabel* summary_ = nullptr;
    QCheckBox* recursive_ = nullptr;
    QTableWidget* table_ = nullptr;
    QWidget* panels_ = nullptr;
};

}  // namespace course
