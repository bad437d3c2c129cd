#include "app/QtPrompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

class QtPromptTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "varnel_app_tests";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
        QApplication::setApplicationDisplayName(QStringLiteral("Varnel"));
    }

    // Runs `inspect` on the modal box as soon as the event loop shows it.
    static void WhenShown(std::function<void(QWidget*)> inspect) {
        QTimer::singleShot(0, [inspect = std::move(inspect)] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            inspect(modal);
        });
    }
};

TEST_F(QtPromptTest, MessageShowsTheBoxAndReturnsThePressedButton) {
    const struct {
        TMsgType Type;
        TMsgButtons Buttons;
        QMessageBox::StandardButton Press; // NoButton: closed with Escape
        QMessageBox::Icon Icon;
        QMessageBox::StandardButtons Shown;
        TMsgAnswer Expected;
    } cases[] = {
        {TMsgType::Information, TMsgButtons::Ok, QMessageBox::Ok, QMessageBox::Information,
         QMessageBox::Ok, TMsgAnswer::Ok},
        {TMsgType::Warning, TMsgButtons::OkCancel, QMessageBox::Cancel, QMessageBox::Warning,
         QMessageBox::Ok | QMessageBox::Cancel, TMsgAnswer::Cancel},
        {TMsgType::Error, TMsgButtons::OkCancel, QMessageBox::Ok, QMessageBox::Critical,
         QMessageBox::Ok | QMessageBox::Cancel, TMsgAnswer::Ok},
        {TMsgType::Confirmation, TMsgButtons::YesNo, QMessageBox::Yes, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, TMsgAnswer::Yes},
        {TMsgType::Confirmation, TMsgButtons::YesNoCancel, QMessageBox::No, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, TMsgAnswer::No},
        // Escape is the way out: Cancel where there is one, else No.
        {TMsgType::Confirmation, TMsgButtons::YesNoCancel, QMessageBox::NoButton,
         QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
         TMsgAnswer::Cancel},
        {TMsgType::Confirmation, TMsgButtons::YesNo, QMessageBox::NoButton, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, TMsgAnswer::No},
    };
    TQtPrompt prompt;
    for (const auto& c : cases) {
        bool inspected = false;
        WhenShown([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            inspected = true;
            EXPECT_EQ(box->text(), QStringLiteral("Export the project?"));
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Varnel"));
            EXPECT_EQ(box->icon(), c.Icon);
            EXPECT_EQ(box->standardButtons(), c.Shown);
            if (c.Press == QMessageBox::NoButton)
                box->reject();
            else
                box->button(c.Press)->click();
        });
        EXPECT_EQ(prompt.Message(QStringLiteral("Export the project?"), c.Type, c.Buttons),
                  c.Expected);
        EXPECT_TRUE(inspected);
    }
}

TEST_F(QtPromptTest, StandardErrorShowsACriticalBox) {
    bool inspected = false;
    WhenShown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        inspected = true;
        EXPECT_EQ(box->text(), QStringLiteral("Access violation"));
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        box->accept();
    });
    TQtPrompt().StandardError(QStringLiteral("Access violation"));
    EXPECT_TRUE(inspected);
}

TEST_F(QtPromptTest, ShowModalRunsTheDialogAndReturnsItsResult) {
    EXPECT_EQ(TQtPrompt().ShowModal(QStringLiteral("TfrmAbout"), [] { return 7; }), 7);
}

TEST_F(QtPromptTest, BrowseFolderReturnsTheChoiceOrNothingWhenCancelled) {
    TQtPrompt prompt;
    const QString start = QDir::tempPath();
    for (const bool accept : {true, false}) {
        WhenShown([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Inbox folder"));
            if (accept)
                static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept is protected
            else
                dialog->reject();
        });
        const QString chosen = prompt.BrowseFolder(QStringLiteral("Inbox folder"), start);
        if (accept)
            EXPECT_EQ(QDir(chosen).canonicalPath(), QDir(start).canonicalPath());
        else
            EXPECT_TRUE(chosen.isEmpty());
    }
}

TEST_F(QtPromptTest, PrintWithoutADefaultPrinterRaises) {
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this machine has a default printer";
    try {
        TQtPrompt().Print({QStringLiteral("Varnel log"), QStringLiteral("line"), false});
        FAIL() << "printing without a printer succeeded";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "No default printer");
    }
}

} // namespace
