#pragma once
// The error box's text in the interface language: a sentence saying what failed, the file it
// failed on, and the system's own reason on a line of its own.
#include <QString>
#include <exception>
#include <functional>

#include "translation/messages.h"

namespace tavo {

// `message` gives a message of the current language; an empty message (a language file without
// it) falls back to the exception's own English text, so nothing is ever hidden.
QString errorText(const std::exception& error, const std::function<QString(Msg)>& message);

}  // namespace tavo
