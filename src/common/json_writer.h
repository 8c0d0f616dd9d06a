#pragma once
// A small streaming JSON writer for the program's machine-readable output (tavo-cli --json,
// exports). Texts are UTF-8; control characters and invalid bytes are escaped or replaced so the
// output is always a valid JSON document.
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tavo {

// `text` as a JSON string literal, quotes included. Bytes that are not valid UTF-8 become U+FFFD.
std::string jsonQuoted(std::string_view text);

class JsonWriter {
  public:
    // With `indent` > 0, members and elements go on their own lines, indented by that many spaces.
    explicit JsonWriter(int indent = 0) : indent_(indent) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The name of the next member of the current object.
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    JsonWriter& value(long long number);
    // Every other integer type.
    template <typename I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool>) JsonWriter& value(I number) {
        return value(static_cast<long long>(number));
    }
    JsonWriter& value(double number);
    JsonWriter& value(bool flag);
    JsonWriter& null();
    // key(name).value(v) in one call.
    template <typename T>
    JsonWriter& member(std::string_view name, const T& v) {
        key(name);
        return value(v);
    }

    // The document so far; complete once every object and array is closed.
    const std::string& str() const { return out_; }

  private:
    void beforeValue();
    void newline();
    JsonWriter& close(char bracket);

    std::string out_;
    int indent_;
    // One entry per open container: whether it already holds an element.
    std::vector<bool> hasElement_;
    bool afterKey_ = false;
};

}  // namespace tavo
