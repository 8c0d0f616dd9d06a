// The error box speaks the interface language: which sentence each failure gets.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "common/errors.h"
#include "ui_kit/error_text.h"

using namespace tavo;

namespace {

QString lookup(int n) {
    if (n == 65) return QStringLiteral("D %1");
    if (n == 63 || n == 64) return QStringLiteral("M%1").arg(n);
    return QStringLiteral("M%1 ").arg(n) + QStringLiteral("%1");
}

QString sentenceFor(const std::exception& e) {
    return errorText(e, [](Msg m) { return lookup(messageKey(m)); });
}

}  // namespace

TEST(ErrorText, EachFailureGetsItsSentenceTheFileAndTheSystemsReason) {
    const std::string gal = "/data/GALERIES/26000000000001.GAL";
    const auto reason = [](int code) { return std::string(std::strerror(code)); };
    struct Case {
        std::exception_ptr error;
        QString expected;
    };
    const QString file = QString::fromStdString(gal);
    const Case cases[] = {
        {std::make_exception_ptr(IoError("open", gal, reason(ENOENT))),
         "M61 " + file + "\n\nD " + QString::fromStdString(reason(ENOENT))},
        {std::make_exception_ptr(IoError("read", gal, reason(EIO))),
         "M57 " + file + "\n\nD " + QString::fromStdString(reason(EIO))},
        {std::make_exception_ptr(IoError("write", gal, reason(ENOSPC))),
         "M59 " + file + "\n\nD " + QString::fromStdString(reason(ENOSPC))},
        {std::make_exception_ptr(IoError("create", gal, reason(EACCES))),
         "M60 " + file + "\n\nD " + QString::fromStdString(reason(EACCES))},
        {std::make_exception_ptr(IoError("rename", gal, reason(EIO))),
         "M58 " + file + "\n\nD " + QString::fromStdString(reason(EIO))},
        {std::make_exception_ptr(IoError("send the page to", "/tmp/out.pdf")), "M62 /tmp/out.pdf"},
        {std::make_exception_ptr(CodecError("/p/x.heic", "damaged HEIF picture")),
         "M160 /p/x.heic\n\nD damaged HEIF picture"},
        {std::make_exception_ptr(RefusedError("the gallery holds 999 photos")),
         "M63\n\nD the gallery holds 999 photos"},
        {std::make_exception_ptr(Error("Impossible de créer le répertoire /b")),
         "Impossible de créer le répertoire /b"},
        {std::make_exception_ptr(std::bad_alloc()), "M64\n\nD std::bad_alloc"},
    };
    for (const Case& c : cases) {
        try {
            std::rethrow_exception(c.error);
        } catch (const std::exception& e) {
            EXPECT_EQ(sentenceFor(e), c.expected) << e.what();
            // A language file without the message still shows the whole text.
            EXPECT_EQ(errorText(e, [](Msg) { return QString(); }), QString::fromUtf8(e.what()));
        }
    }
}
