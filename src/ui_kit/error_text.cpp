#include "ui_kit/error_text.h"

#include <cerrno>
#include <cstring>
#include <set>
#include <string>

#include "common/errors.h"
#include "ui_kit/qt_text.h"

namespace tavo {

namespace {

// The operations that only look at a file; every other one writes.
bool isReading(const std::string& operation) {
    static const std::set<std::string> reading = {
        "open", "read", "list", "list folder", "size", "examine", "resolve", "verify", "lock"};
    return reading.contains(operation);
}

bool isPrinting(const std::string& operation) {
    return operation == "send the page to" || operation == "start the print document on";
}

bool reasonIs(const std::string& reason, std::initializer_list<int> codes) {
    for (int code : codes)
        if (reason == std::strerror(code)) return true;
    return false;
}

// The message of a failed file operation.
Msg ioMessage(const IoError& e) {
    const std::string& reason = e.reason();
    if (isPrinting(e.operation())) return Msg::CannotPrint;
    if (reasonIs(reason, {ENOSPC, EDQUOT, EFBIG})) return Msg::DiskFull;
    if (reasonIs(reason, {ENOENT})) return Msg::FileNotFound;
    if (isReading(e.operation())) return Msg::CannotRead;
    if (reasonIs(reason, {EROFS, EACCES, EPERM})) return Msg::FileReadOnly;
    return Msg::CannotWrite;
}

}  // namespace

QString errorText(const std::exception& error, const std::function<QString(Msg)>& message) {
    QString sentence, reason;
    if (const auto* io = dynamic_cast<const IoError*>(&error)) {
        sentence = message(ioMessage(*io));
        if (sentence.contains(QLatin1String("%1")))
            sentence = sentence.arg(toQString(io->path().string()));
        reason = toQString(io->reason());
    } else if (const auto* picture = dynamic_cast<const CodecError*>(&error)) {
        sentence = message(Msg::PictureUnusable);
        if (sentence.contains(QLatin1String("%1")))
            sentence = sentence.arg(toQString(picture->path().string()));
        reason = toQString(picture->reason());
    } else if (dynamic_cast<const RefusedError*>(&error)) {
        sentence = message(Msg::OperationRefused);
        reason = toQString(std::string(error.what()));
    } else if (dynamic_cast<const Error*>(&error)) {
        return toQString(std::string(error.what()));  // already the sentence to show
    } else {
        sentence = message(Msg::UnexpectedError);
        reason = toQString(std::string(error.what()));
    }
    if (sentence.isEmpty()) return toQString(std::string(error.what()));
    if (reason.isEmpty()) return sentence;
    const QString detail = message(Msg::ErrorDetails);
    return sentence + QStringLiteral("\n\n") +
           (detail.contains(QLatin1String("%1")) ? detail.arg(reason) : reason);
}

}  // namespace tavo
