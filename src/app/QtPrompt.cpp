#include "app/QtPrompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

#include <stdexcept>

QWidget* TQtPrompt::Parent() const {
    return FParent ? FParent : QApplication::activeWindow();
}

TMsgAnswer TQtPrompt::Message(const QString& text, TMsgType type, TMsgButtons buttons) {
    QMessageBox box(Parent());
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    switch (type) {
    case TMsgType::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case TMsgType::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case TMsgType::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case TMsgType::Confirmation:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case TMsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case TMsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case TMsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case TMsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TMsgAnswer::Yes;
    case QMessageBox::No:
        return TMsgAnswer::No;
    case QMessageBox::Ok:
        return TMsgAnswer::Ok;
    default:
        // Closing a box without pressing a button is its way out: Cancel,
        // or No where there is no Cancel.
        return buttons == TMsgButtons::YesNo ? TMsgAnswer::No : TMsgAnswer::Cancel;
    }
}

void TQtPrompt::StandardError(const QString& text) {
    QMessageBox::critical(Parent(), QApplication::applicationDisplayName(), text);
}

int TQtPrompt::ShowModal(const QString&, const std::function<int()>& run) {
    return run();
}

QString TQtPrompt::BrowseFolder(const QString& caption, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(Parent(), caption, startFolder);
}

void TQtPrompt::Print(const TPrintJob& job) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw std::runtime_error("No default printer");
    QPrinter printer(info);
    printer.setDocName(job.DocumentName);
    QTextDocument document;
    if (job.RichText)
        document.setHtml(job.Text);
    else
        document.setPlainText(job.Text);
    document.print(&printer);
    if (printer.printerState() == QPrinter::Error)
        throw std::runtime_error("Printing failed");
}
