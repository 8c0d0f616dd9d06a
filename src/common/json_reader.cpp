#include "common/json_reader.h"

#include <cstdint>
#include <cstdlib>

namespace tavo {

JsonValue::JsonValue() = default;
JsonValue::~JsonValue() = default;
JsonValue::JsonValue(const JsonValue&) = default;
JsonValue::JsonValue(JsonValue&&) noexcept = default;
JsonValue& JsonValue::operator=(const JsonValue&) = default;
JsonValue& JsonValue::operator=(JsonValue&&) noexcept = default;

const JsonValue* JsonValue::find(std::string_view name) const {
    for (const auto& [k, v] : members)
        if (k == name) return &v;
    return nullptr;
}

const char* jsonKindName(JsonValue::Kind kind) {
    switch (kind) {
        case JsonValue::Kind::Null:
            return "null";
        case JsonValue::Kind::Bool:
            return "a boolean";
        case JsonValue::Kind::Number:
            return "a number";
        case JsonValue::Kind::String:
            return "a string";
        case JsonValue::Kind::Array:
            return "an array";
        case JsonValue::Kind::Object:
            return "an object";
    }
    return "a value";
}

namespace {

class Parser {
  public:
    explicit Parser(std::string_view s) : s_(s) {
        if (s_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    }

    JsonValue document() {
        skipSpace();
        JsonValue v = value(0);
        skipSpace();
        if (pos_ != s_.size()) fail("unexpected text after the document");
        return v;
    }

  private:
    [[noreturn]] void fail(const std::string& what) const {
        std::size_t line = 1, column = 1;
        for (std::size_t i = 0; i < pos_ && i < s_.size(); ++i) {
            if (s_[i] == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<unsigned char>(s_[i]) & 0xC0) != 0x80) {
                ++column;
            }
        }
        throw JsonSyntaxError("line " + std::to_string(line) + ", column " +
                              std::to_string(column) + ": " + what);
    }

    bool atEnd() const { return pos_ >= s_.size(); }
    char peek() const { return atEnd() ? '\0' : s_[pos_]; }

    void skipSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++pos_;
    }

    void expectWord(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) fail("invalid value");
        pos_ += word.size();
    }

    JsonValue value(int depth) {
        if (depth > kMaxJsonDepth) fail("nesting too deep");
        JsonValue v;
        switch (peek()) {
            case '{':
                object(v, depth);
                break;
            case '[':
                array(v, depth);
                break;
            case '"':
                v.kind = JsonValue::Kind::String;
                v.text = string();
                break;
            case 't':
                expectWord("true");
                v.kind = JsonValue::Kind::Bool;
                v.boolean = true;
                break;
            case 'f':
                expectWord("false");
                v.kind = JsonValue::Kind::Bool;
                break;
            case 'n':
                expectWord("null");
                break;
            default:
                if (peek() == '-' || (peek() >= '0' && peek() <= '9')) {
                    number(v);
                    break;
                }
                fail(atEnd() ? "unexpected end of the document" : "invalid value");
        }
        return v;
    }

    void object(JsonValue& v, int depth) {
        v.kind = JsonValue::Kind::Object;
        ++pos_;
        skipSpace();
        if (peek() == '}') {
            ++pos_;
            return;
        }
        for (;;) {
            skipSpace();
            if (peek() != '"') fail("expected a member name");
            std::string name = string();
            if (v.find(name)) fail("duplicate member \"" + name + "\"");
            skipSpace();
            if (peek() != ':') fail("expected ':'");
            ++pos_;
            skipSpace();
            v.members.emplace_back(std::move(name), value(depth + 1));
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == '}') {
                ++pos_;
                return;
            }
            fail("expected ',' or '}'");
        }
    }

    void array(JsonValue& v, int depth) {
        v.kind = JsonValue::Kind::Array;
        ++pos_;
        skipSpace();
        if (peek() == ']') {
            ++pos_;
            return;
        }
        for (;;) {
            skipSpace();
            v.elements.push_back(value(depth + 1));
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == ']') {
                ++pos_;
                return;
            }
            fail("expected ',' or ']'");
        }
    }

    void number(JsonValue& v) {
        const std::size_t start = pos_;
        if (peek() == '-') ++pos_;
        const auto digits = [&] {
            const std::size_t from = pos_;
            while (!atEnd() && peek() >= '0' && peek() <= '9') ++pos_;
            if (pos_ == from) fail("invalid number");
        };
        if (peek() == '0') {
            ++pos_;
            if (peek() >= '0' && peek() <= '9') fail("leading zero in a number");
        } else {
            digits();
        }
        if (peek() == '.') {
            ++pos_;
            digits();
        }
        if (peek() == 'e' || peek() == 'E') {
            ++pos_;
            if (peek() == '+' || peek() == '-') ++pos_;
            digits();
        }
        v.kind = JsonValue::Kind::Number;
        v.text = std::string(s_.substr(start, pos_ - start));
        v.number = std::strtod(v.text.c_str(), nullptr);
    }

    unsigned hex4() {
        if (pos_ + 4 > s_.size()) fail("invalid \\u escape");
        unsigned u = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = s_[pos_++];
            u <<= 4;
            if (c >= '0' && c <= '9')
                u |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                u |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                u |= static_cast<unsigned>(c - 'A' + 10);
            else
                fail("invalid \\u escape");
        }
        return u;
    }

    static void appendUtf8(std::string& out, std::uint32_t cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    // Copies one raw UTF-8 character, refusing malformed sequences.
    void rawCharacter(std::string& out) {
        const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s_[pos_ + k]); };
        const unsigned char c = b(0);
        std::size_t n = 0;
        std::uint32_t cp = 0, min = 0;
        if ((c & 0xE0) == 0xC0)
            n = 2, cp = c & 0x1F, min = 0x80;
        else if ((c & 0xF0) == 0xE0)
            n = 3, cp = c & 0x0F, min = 0x800;
        else if ((c & 0xF8) == 0xF0)
            n = 4, cp = c & 0x07, min = 0x10000;
        else
            fail("invalid UTF-8");
        if (pos_ + n > s_.size()) fail("invalid UTF-8");
        for (std::size_t k = 1; k < n; ++k) {
            if ((b(k) & 0xC0) != 0x80) fail("invalid UTF-8");
            cp = (cp << 6) | (b(k) & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) fail("invalid UTF-8");
        out.append(s_.substr(pos_, n));
        pos_ += n;
    }

    std::string string() {
        ++pos_;  // opening quote
        std::string out;
        for (;;) {
            if (atEnd()) fail("unterminated string");
            const auto c = static_cast<unsigned char>(s_[pos_]);
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (c < 0x20) fail("control character in a string");
            if (c >= 0x80) {
                rawCharacter(out);
                continue;
            }
            ++pos_;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (atEnd()) fail("unterminated string");
            const char e = s_[pos_++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    std::uint32_t cp = hex4();
                    if (cp >= 0xDC00 && cp <= 0xDFFF) fail("lone surrogate");
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        if (s_.substr(pos_, 2) != "\\u") fail("lone surrogate");
                        pos_ += 2;
                        const std::uint32_t low = hex4();
                        if (low < 0xDC00 || low > 0xDFFF) fail("lone surrogate");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    }
                    appendUtf8(out, cp);
                    break;
                }
                default:
                    fail("invalid escape");
            }
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

}  // namespace

JsonValue parseJson(std::string_view document) {
    return Parser(document).document();
}

}  // namespace tavo
