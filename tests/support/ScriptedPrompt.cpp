#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const char* TypeName(TMsgType type) {
    switch (type) {
    case TMsgType::Information:
        return "Information";
    case TMsgType::Warning:
        return "Warning";
    case TMsgType::Error:
        return "Error";
    case TMsgType::Confirmation:
        return "Confirmation";
    }
    return "?";
}

const char* ButtonsName(TMsgButtons buttons) {
    switch (buttons) {
    case TMsgButtons::Ok:
        return "Ok";
    case TMsgButtons::OkCancel:
        return "OkCancel";
    case TMsgButtons::YesNo:
        return "YesNo";
    case TMsgButtons::YesNoCancel:
        return "YesNoCancel";
    }
    return "?";
}

} // namespace

QString DescribeMessage(const QString& text, TMsgType type, TMsgButtons buttons) {
    return QStringLiteral("Message(%1, %2): %3")
        .arg(QLatin1String(TypeName(type)), QLatin1String(ButtonsName(buttons)), text);
}

TScriptedPrompt::~TScriptedPrompt() {
    for (const TExpected& expected : FExpected)
        ADD_FAILURE() << "Expected prompt never shown: " << expected.Description.toStdString();
}

TScriptedPrompt& TScriptedPrompt::ExpectMessage(const QString& text, TMsgType type,
                                                TMsgButtons buttons, TMsgAnswer answer) {
    FExpected.push_back({DescribeMessage(text, type, buttons), answer, 0, QString()});
    return *this;
}

TScriptedPrompt& TScriptedPrompt::ExpectStandardError(const QString& text) {
    FExpected.push_back({QStringLiteral("StandardError: ") + text, TMsgAnswer::Ok, 0, QString()});
    return *this;
}

TScriptedPrompt& TScriptedPrompt::ExpectModal(const QString& name, int result) {
    FExpected.push_back({QStringLiteral("ShowModal: ") + name, TMsgAnswer::Ok, result, QString()});
    return *this;
}

TScriptedPrompt& TScriptedPrompt::ExpectBrowseFolder(const QString& caption,
                                                     const QString& folder) {
    FExpected.push_back({QStringLiteral("BrowseFolder: ") + caption, TMsgAnswer::Ok, 0, folder});
    return *this;
}

TScriptedPrompt& TScriptedPrompt::ExpectPrint(const QString& documentName, const QString& error) {
    FExpected.push_back({QStringLiteral("Print: ") + documentName, TMsgAnswer::Ok, 0, error});
    return *this;
}

TScriptedPrompt::TExpected TScriptedPrompt::Take(const QString& description) {
    FShown << description;
    if (FExpected.empty() || FExpected.front().Description != description) {
        const QString wanted =
            FExpected.empty() ? QStringLiteral("no prompt") : FExpected.front().Description;
        ADD_FAILURE() << "Unexpected prompt: " << description.toStdString()
                      << "\n  expected: " << wanted.toStdString();
        throw EUnexpectedPrompt{description};
    }
    TExpected expected = FExpected.front();
    FExpected.pop_front();
    return expected;
}

TMsgAnswer TScriptedPrompt::Message(const QString& text, TMsgType type, TMsgButtons buttons) {
    return Take(DescribeMessage(text, type, buttons)).Answer;
}

void TScriptedPrompt::StandardError(const QString& text) {
    Take(QStringLiteral("StandardError: ") + text);
}

int TScriptedPrompt::ShowModal(const QString& name, const std::function<int()>&) {
    return Take(QStringLiteral("ShowModal: ") + name).Result;
}

QString TScriptedPrompt::BrowseFolder(const QString& caption, const QString&) {
    return Take(QStringLiteral("BrowseFolder: ") + caption).Text;
}

void TScriptedPrompt::Print(const TPrintJob& job) {
    const TExpected expected = Take(QStringLiteral("Print: ") + job.DocumentName);
    if (!expected.Text.isEmpty())
        throw std::runtime_error(expected.Text.toStdString());
    FPrinted.push_back(job);
}
