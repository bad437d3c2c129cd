#include "ConsolePrompt.h"

#include <stdexcept>

TMsgAnswer TConsolePrompt::Message(const QString& text, TMsgType /*type*/, TMsgButtons buttons) {
    WriteLine(text);
    switch (buttons) {
    case TMsgButtons::Ok:
    case TMsgButtons::OkCancel:
        return TMsgAnswer::Ok;
    case TMsgButtons::YesNo:
    case TMsgButtons::YesNoCancel:
        break;
    }
    return FConfirmYes ? TMsgAnswer::Yes : TMsgAnswer::No;
}

void TConsolePrompt::StandardError(const QString& text) {
    WriteLine(text);
}

int TConsolePrompt::ShowModal(const QString& /*name*/, const std::function<int()>& /*run*/) {
    return 0;
}

QString TConsolePrompt::BrowseFolder(const QString& /*caption*/, const QString& /*startFolder*/) {
    return QString();
}

void TConsolePrompt::Print(const TPrintJob& job) {
    throw std::runtime_error("Cannot print " + job.DocumentName.toStdString() +
                             " from the command line");
}

void TConsolePrompt::WriteLine(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), FOut);
    std::fflush(FOut);
}
