#pragma once
// The one exception family of the core. Every failure a user command can meet is one of these;
// the UI's error guard shows them in the general error box.
#include <filesystem>
#include <stdexcept>
#include <string>

namespace tavo {

class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A failed file operation: names the operation and the path.
class IoError : public Error {
  public:
    IoError(std::string operation, const std::filesystem::path& path, std::string reason = {})
        : Error(compose(operation, path, reason)),
          operation_(std::move(operation)),
          path_(path),
          reason_(std::move(reason)) {}
    const std::string& operation() const { return operation_; }
    const std::filesystem::path& path() const { return path_; }
    const std::string& reason() const { return reason_; }  // the system's words, may be empty

  private:
    static std::string compose(const std::string& op, const std::filesystem::path& p,
                               const std::string& reason) {
        std::string s = "I/O error: " + op + " \"" + p.string() + "\"";
        if (!reason.empty()) s += ": " + reason;
        return s;
    }
    std::string operation_;
    std::filesystem::path path_;
    std::string reason_;
};

// A text that should hold a number does not.
class ConversionError : public Error {
  public:
    using Error::Error;
};

// A picture that cannot be decoded or encoded.
class CodecError : public Error {
  public:
    CodecError(const std::filesystem::path& path, const std::string& reason)
        : Error("Picture error: \"" + path.string() + "\": " + reason),
          path_(path),
          reason_(reason) {}
    const std::filesystem::path& path() const { return path_; }
    const std::string& reason() const { return reason_; }

  private:
    std::filesystem::path path_;
    std::string reason_;
};

// A request the program refuses on purpose to keep the data whole (a full gallery, an unsafe
// file name taken from a record).
class RefusedError : public Error {
  public:
    using Error::Error;
};

}  // namespace tavo
