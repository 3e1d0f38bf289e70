// The program's file dialog as a user meets it, offscreen: the choice panel's
// range box rewritten when it loses the focus, an exclusive choice beside a
// check box that greys, and the accept button's own text after a folder is
// entered. Each test works the open dialog from a timer and then closes it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>

#include "platform/qtResponder.h"
#include "support/sampleRecording.h"

namespace {

// Runs `work` on the file dialog once it is open, then cancels it.
std::string withOpenDialog(const platform::FileRequest& request, const std::function<void(QFileDialog&)>& work)
{
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
                timer.stop();
                work(*dialog);
                dialog->reject();
            }
    });
    timer.start(10);
    platform::QtResponder responder;
    return responder.fileDialog(request);
}

}  // namespace

TEST(FileDialog, TheRangeBoxIsRewrittenInItsNormalFormWhenItLosesTheFocus)
{
    platform::FileRequest r;
    r.save = true;
    r.title = "Save Graph As Image";
    r.panel = std::make_shared<platform::FilePanel>();
    r.panel->labels = {"&All Data", "&From-To Page"};
    r.panel->checked = {false, true};
    r.panel->exclusive = true;
    r.panel->editAfter = 1;
    r.panel->editText = "1-9";
    r.panel->normalise = [](const std::string& text) { return text == "3 , 5" ? std::string("3-5") : text; };
    QString shown;
    withOpenDialog(r, [&](QFileDialog& dialog) {
        QLineEdit* range = nullptr;
        for (auto* edit : dialog.findChildren<QLineEdit*>())
            if (edit->text() == "1-9")
                range = edit;
        ASSERT_NE(range, nullptr);
        range->setText("3 , 5");
        Q_EMIT range->textEdited("3 , 5");
        Q_EMIT range->editingFinished();
        shown = range->text();
    });
    EXPECT_EQ(shown, "3-5");
    EXPECT_EQ(r.panel->editText, "3-5");
}

TEST(FileDialog, RadioChoicesBesideACheckBoxThatGreysWhenItDoesNotApply)
{
    platform::FileRequest r;
    r.save = true;
    r.panel = std::make_shared<platform::FilePanel>();
    platform::FilePanel& panel = *r.panel;
    panel.labels = {"&Both", "&Patient Info", "Ra&w Data", "Split"};
    panel.checked = {true, false, false, false};
    panel.exclusiveFirst = 3;
    panel.enabled = {true, true, true, true};
    panel.toggled = [](platform::FilePanel& p, int) { p.enabled[3] = p.checked[0]; };
    withOpenDialog(r, [&](QFileDialog& dialog) {
        const auto radios = dialog.findChildren<QRadioButton*>();
        const auto boxes = dialog.findChildren<QCheckBox*>();
        ASSERT_EQ(radios.size(), 3);
        ASSERT_EQ(boxes.size(), 1);
        radios[1]->click();
        EXPECT_FALSE(radios[0]->isChecked());
        EXPECT_FALSE(boxes[0]->isEnabled()) << "Split applies only to Both";
        radios[0]->click();
        EXPECT_TRUE(boxes[0]->isEnabled());
    });
    EXPECT_EQ(panel.checked, (std::vector<bool>{true, false, false, false}));
}

TEST(FileDialog, TheAcceptButtonKeepsItsTextAfterAFolderIsEntered)
{
    testing_support::TempDir dir;
    std::filesystem::create_directory(dir.file("inner"));
    platform::FileRequest r;
    r.folder = dir.path().string();
    r.acceptLabel = "Import";
    QString before, after;
    withOpenDialog(r, [&](QFileDialog& dialog) {
        const auto accept = [&] {
            for (QPushButton* b : dialog.findChildren<QPushButton*>())
                if (b->text() == "Import" || b->text().contains("Open"))
                    return b->text();
            return QString();
        };
        before = accept();
        // The folder chosen in the list, and entered with the button.
        dialog.selectFile(QString::fromStdString(dir.file("inner")));
        QApplication::processEvents();
        QMetaObject::invokeMethod(&dialog, "accept");
        // The folder is read on the dialog's own thread: wait until the
        // button settles on its text (a fault keeps "&Open" to the deadline).
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (accept() != "Import" && std::chrono::steady_clock::now() < until)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_TRUE(dialog.directory().absolutePath().endsWith("inner"));
        after = accept();

    });
    EXPECT_EQ(before, "Import");
    EXPECT_EQ(after, "Import");
}
