#pragma once

#include <QString>

#include <exception>

// The message of an error as the program shows it: an engine error's own
// message, else the text of the exception.
QString ErrorText(const std::exception& error);
