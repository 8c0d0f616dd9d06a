#include "common/json_writer.h"

#include <gtest/gtest.h>

namespace tavo {
namespace {

TEST(JsonWriter, EscapesTextsAndNestsContainers) {
    const struct {
        std::string in, out;
    } texts[] = {
        {"plain", R"("plain")"},
        {"a\"b\\c", R"("a\"b\\c")"},
        {"line\r\nnext\ttab\x01", R"("line\r\nnext\ttab\u0001")"},
        {"\xC3\x89rable \xE2\x82\xAC", "\"\xC3\x89rable \xE2\x82\xAC\""},
        {"bad \xC9 byte", "\"bad \xEF\xBF\xBD byte\""},
        {"cut \xE2\x82", "\"cut \xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const auto& t : texts) EXPECT_EQ(jsonQuoted(t.in), t.out) << t.in;

    JsonWriter w;
    w.beginObject().member("id", "1").key("n").value(3).key("list").beginArray();
    w.value(true).null().beginObject().endObject().beginArray().endArray().endArray();
    w.member("x", 0.5).endObject();
    EXPECT_EQ(w.str(), R"({"id":"1","n":3,"list":[true,null,{},[]],"x":0.5})");

    JsonWriter pretty(2);
    pretty.beginArray().value(1).beginObject().member("a", "b").endObject().endArray();
    EXPECT_EQ(pretty.str(), "[\n  1,\n  {\n    \"a\": \"b\"\n  }\n]");
}

}  // namespace
}  // namespace tavo
