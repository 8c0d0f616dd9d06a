#pragma once
// A strict JSON reader (RFC 8259) for documents the program takes in, such as collection
// imports. Anything outside the grammar is refused rather than guessed: comments, trailing
// commas, leading zeros, raw control characters in strings, lone surrogates, invalid UTF-8 and
// duplicate member names. Member order is kept as written.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/errors.h"

namespace tavo {

// A document that is not valid JSON; the message names the line and column.
class JsonSyntaxError : public ConversionError {
  public:
    using ConversionError::ConversionError;
};

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;  // a string's value (UTF-8), or a number as written
    std::vector<JsonValue> elements;
    std::vector<std::pair<std::string, JsonValue>> members;

    // Defined where JsonValue is complete: a member holding pairs of JsonValue cannot be
    // destroyed inside the class itself with every standard library.
    JsonValue();
    ~JsonValue();
    JsonValue(const JsonValue&);
    JsonValue(JsonValue&&) noexcept;
    JsonValue& operator=(const JsonValue&);
    JsonValue& operator=(JsonValue&&) noexcept;

    bool isNull() const { return kind == Kind::Null; }
    bool isString() const { return kind == Kind::String; }
    bool isArray() const { return kind == Kind::Array; }
    bool isObject() const { return kind == Kind::Object; }
    // The member named `name`, or nullptr (also when this is not an object).
    const JsonValue* find(std::string_view name) const;
};

// Nesting deeper than this is refused, so hostile input cannot exhaust the stack.
inline constexpr int kMaxJsonDepth = 64;

// Parses a whole document; a UTF-8 byte-order mark before it is allowed, anything but white
// space after it is not. JsonSyntaxError on any fault.
JsonValue parseJson(std::string_view document);

// Name of a kind for messages ("an object", "a string", ...).
const char* jsonKindName(JsonValue::Kind kind);

}  // namespace tavo
