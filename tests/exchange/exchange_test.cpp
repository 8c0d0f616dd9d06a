#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "common/file_io.h"
#include "common/json_reader.h"
#include "exchange/exchange.h"
#include "exchange/exchange_texts.h"
#include "support/data_folder.h"
#include "support/faults.h"

namespace tavo::test {
namespace {

namespace fs = std::filesystem;

const std::string kMaple = "26034140509042", kEmpty = "26034140509043", kFull = "26034140509044",
                  kHostile = "26034140509045";
const std::string kHostileName = "<script>alert(1)</script> & \"Co\"";

// Accents, the euro sign, line breaks, empty fields, dates that are not dates, bytes behind
// texts, a damaged length byte, a tree without photos, a tree with `galleryPhotos` photos, a
// large reference photo, and a hostile name.
void makeVariedFolder(const fs::path& root, int galleryPhotos) {
    DataFolder b(root);
    b.tree({kMaple,
            cardOf({{"name", "Érable du Japon – 120 €"},
                    {"botanical", "Acer palmatum"},
                    {"acquired", "15/03/2010"},
                    {"age", "5"},
                    {"estimated", "O"},
                    {"price", "120 €"},
                    {"notes", "Rempoté au printemps.\r\nŒil sur les « racines »."}}),
            {{"01/03/2020", "Taille", "légère"},
             {"5/3/2020", "Rempotage", ""},
             {"31/02/2021", "Ligature", "date impossible, \"gardée\""}},
            {{kMaple + "001.JPG", "15/03/2012", "Au début, à l'achat"},
             {kMaple + "002.JPG", "20/05/2020", ""},
             {kMaple + "0# %.JPG", "99/99/9999", "date illisible"}}});
    b.tree({kEmpty, cardOf({}), {}, {}, false});
    std::vector<PhotoRecord> many;
    for (int n = 1; n <= galleryPhotos; ++n)
        many.push_back({photoFileName(kFull, n), "01/01/2021", n % 2 ? "" : "pair"});
    b.tree({kFull, cardOf({{"name", "Pin noir"}, {"botanical", "Pinus thunbergii"}}), {}, many});
    b.tree({kHostile,
            cardOf({{"name", kHostileName}, {"botanical", "<b>x</b>"}}),
            {{"02/02/2022", "<i>", "'; --"}},
            {},
            true,
            {400, 300}});
    b.lists({"Taille", "Rempotage", ""}, {"Bon état"},
            {{"Acer palmatum", "Érable du Japon", "Japanese maple"}, {"", "", ""}});
    b.settings(
        "[Intro]\r\nAuteur=Vendrane\r\n\r\n[Interface]\r\nLangage=Fran\xe7"
        "ais\r\n");
    // Left behind by other writers: bytes behind a name, a reserved field, a damaged length.
    b.poke(b.paths().card(kMaple), 110, "ZZ")
        .poke(b.paths().card(kMaple), 1200, "\x01")
        .poke(b.paths().works(kMaple), 318, "\xC8")
        .poke(b.paths().namesList(), 704 + 600, "r");
}

// The data files of a folder, path -> bytes.
std::map<std::string, std::string> dataFiles(const fs::path& root) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) out[fs::relative(e.path(), root).string()] = readText(e.path());
    return out;
}

int python(const std::string& args) {
    const std::string cmd =
        "python3 " + std::string(TAVO_SOURCE_DIR) + "/tests/exchange/check_export.py " + args;
    return std::system(cmd.c_str());
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

class ExchangeTest : public ::testing::Test {
  protected:
    void SetUp() override { makeVariedFolder(data.path(), 4); }
    fs::path exportTo(Format f, const std::string& name, ExportOptions o = {}) {
        o.format = f;
        o.today = "08/12/2026";
        exportCollection(DataPaths{data.path()}, out / name, o);
        return out / name;
    }
    TempDir data, out;
};

TEST_F(ExchangeTest, JsonRoundTripRebuildsTheDataFilesByteForByte) {
    // A full gallery (999 photos); only the first and the last keep their files, all alike.
    makeVariedFolder(data.path(), kMaxPhotoNumber);
    for (int n = 2; n < kMaxPhotoNumber; ++n)
        fs::remove(data / ("GALERIES/" + photoFileName(kFull, n)));
    const fs::path first = exportTo(Format::Json, "first");
    EXPECT_EQ(0, python("schema " + quoted(first / "collection.json") + " " +
                        quoted(fs::path(TAVO_SOURCE_DIR) / "docs/collection.schema.json")));

    const auto result = importCollection(first / "collection.json", out / "rebuilt");
    EXPECT_EQ(4u, result.trees);
    EXPECT_EQ(dataFiles(data.path()), dataFiles(out / "rebuilt"));

    exportCollection(DataPaths{out / "rebuilt"}, out / "second", {});
    EXPECT_EQ(readText(first / "collection.json"), readText(out / "second/collection.json"));
}

TEST_F(ExchangeTest, CsvReadsBackWithTheSameValuesAsTheDocument) {
    const fs::path csv = exportTo(Format::Csv, "csv");
    const fs::path json = exportTo(Format::Json, "json");
    EXPECT_EQ(0, python("csv " + quoted(csv) + " " + quoted(json / "collection.json")));
}

TEST_F(ExchangeTest, AlbumShowsHostileTextsAsTextAndLoadsInABrowser) {
    LanguageTable english;
    ASSERT_TRUE(english.load(fs::path(TAVO_SOURCE_DIR) / "data/English.lng"));
    ExportOptions o;
    o.labels = albumLabels(english, "en");
    const fs::path album = exportTo(Format::Html, "album", o);
    EXPECT_NE(std::string::npos,
              readText(album / "trees" / (kMaple + ".html")).find("<html lang=\"en\">"));
    EXPECT_NE(std::string::npos,
              readText(album / "trees" / (kMaple + ".html")).find(">Back to the collection</a>"));
    for (const auto& page : {album / "index.html", album / ("trees/" + kHostile + ".html")}) {
        const std::string html = readText(page);
        EXPECT_NE(std::string::npos,
                  html.find("&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;Co&quot;"));
        EXPECT_EQ(std::string::npos, html.find("<script>alert"));
        EXPECT_EQ(std::string::npos, html.find("<b>x"));
    }
    // The large reference photo got a reduced copy for the index; stored photos are copied.
    EXPECT_TRUE(fs::exists(album / ("thumbs/" + kHostile + ".jpg")));
    EXPECT_EQ(readText(data.path() / "GALERIES" / (kMaple + "001.JPG")),
              readText(album / "photos" / (kMaple + "001.JPG")));
    EXPECT_EQ(0, python("album " + quoted(album) + " " + kMaple + " " + kHostile));
}

TEST_F(ExchangeTest, RefusedDocumentsNameTheirFirstFaultAndWriteNothing) {
    const fs::path doc = exportTo(Format::Json, "doc") / "collection.json";
    const std::string good = readText(doc);
    struct Case {
        std::string from, to, where;
    };
    const Case cases[] = {
        {"\"version\": 1", "\"version\": 2", "version"},
        {"\"date\": \"2020-03-01\"", "\"date\": \"2020-02-30\"", "trees[0].works[0].date"},
        {"\"date\": \"2020-03-01\"", "\"date\": null", "trees[0].works[0].date"},
        {"\"age\": \"5\"", "\"age\": \"1234\"", "trees[0].age"},
        {"\"Rempotage\"", "\"Rempotage \\ud83c\\udf33\"", "trees[0].works[1].type"},
        {"\"file\": \"photos/" + kMaple + "001.JPG\"", "\"file\": \"photos/../../x\"",
         "trees[0].photos[0].file"},
        {"\"id\": \"" + kEmpty + "\"", "\"id\": \"" + kMaple + "\"", "trees[1].id"},
        {"\"notes\"", "\"nootes\"", "trees[0].nootes"},
        {"\"Vendrane\"", "\"Vendrane\\r\\n[Fichiers]\"", "settings.sections.Intro.Auteur"},
        {"\"format\": \"tavo-collection\",", "\"format\": \"tavo-collection\",,",
         "line 2, column 30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to);
        const auto at = good.find(c.from);
        ASSERT_NE(std::string::npos, at);
        std::string bad = good;
        bad.replace(at, c.from.size(), c.to);
        writeBytes(doc, bad);
        try {
            importCollection(doc, out / "into");
            ADD_FAILURE() << "accepted";
        } catch (const ImportRefused& e) {
            EXPECT_EQ(c.where, e.where()) << e.what();
        }
        EXPECT_FALSE(fs::exists(out / "into"));
    }
    writeBytes(doc, good);
    fs::remove(doc.parent_path() / "photos" / (kMaple + "002.JPG"));
    try {
        importCollection(doc, out / "into");
        ADD_FAILURE() << "accepted";
    } catch (const ImportRefused& e) {
        EXPECT_EQ("trees[0].photos[1].file", e.where());
    }
    EXPECT_FALSE(fs::exists(out / "into"));
}

TEST_F(ExchangeTest, RefusedFailedOrCancelledRunsLeaveNothingBehind) {
    fs::create_directories(out / "full");
    writeBytes(out / "full/keep.txt", "x");
    EXPECT_THROW(exportTo(Format::Json, "full"), RefusedError);
    EXPECT_THROW(exportCollection(DataPaths{data.path()}, data.path() / "GALERIES/out", {}),
                 RefusedError);
    EXPECT_THROW(importCollection(out / "missing.json", out / "into"), IoError);
    // One cap, and the refusal names it.
    writeBytes(out / "huge.json", "{}");
    fs::resize_file(out / "huge.json", (64u << 20) + 1);
    try {
        importCollection(out / "huge.json", out / "into");
        ADD_FAILURE() << "accepted";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("64 MiB"), std::string::npos) << e.what();
    }
    fs::remove(out / "huge.json");

    const auto before = dataFiles(data.path());
    ExportOptions stopHalfway;
    stopHalfway.today = "08/12/2026";
    stopHalfway.progress = [](std::size_t done, std::size_t total) { return done < total / 2; };
    for (Format f : {Format::Json, Format::Csv, Format::Html}) {
        SCOPED_TRACE(static_cast<int>(f));
        stopHalfway.format = f;
        EXPECT_TRUE(exportCollection(DataPaths{data.path()}, out / "new", stopHalfway).cancelled);
        EXPECT_FALSE(fs::exists(out / "new"));
        fs::create_directories(out / "empty");
        test::failNthWrite(1);  // after the photos are copied, where there are any
        EXPECT_THROW(exportTo(f, "empty"), IoError);
        test::failNthWrite(0);
        EXPECT_TRUE(fs::is_empty(out / "empty"));
    }
    EXPECT_EQ((std::vector<std::string>{"empty", "full"}), listFolder(out.path()));
    EXPECT_EQ(before, dataFiles(data.path()));
}

TEST(JsonReaderTest, RefusesAnythingButStrictJson) {
    const std::string bad[] = {
        "",         "{",           "[1,]",     "{\"a\":1,}",
        "01",       "1.",          "'a'",      "\"\\x\"",
        "\"\x01\"", "\"\\ud800\"", "\"\xC3\"", "{\"a\":1,\"a\":2}",
        "[1] [2]",  "/*c*/1",      "nul",      std::string(kMaxJsonDepth + 2, '[')};
    for (const auto& text : bad) EXPECT_THROW(parseJson(text), JsonSyntaxError) << text;
    const JsonValue v = parseJson(
        "\xEF\xBB\xBF {\"b\": [true, null, -1.5e2], \"a\": \"\\u00e9\\ud83c\\udf33\\u0000\"}");
    ASSERT_EQ(2u, v.members.size());
    EXPECT_EQ("b", v.members[0].first);
    EXPECT_EQ(-150.0, v.find("b")->elements[2].number);
    EXPECT_EQ(std::string("é\xF0\x9F\x8C\xB3") + '\0', v.find("a")->text);
}

TEST(ExchangeTextsTest, DatesAndAgesFollowTheStoredTexts) {
    struct DateCase {
        std::string stored, iso;  // iso empty: not a date
    };
    for (const auto& c : std::vector<DateCase>{{"25/12/2019", "2019-12-25"},
                                               {"12-05-2020", "2020-05-12"},
                                               {"29/02/2024", "2024-02-29"},
                                               {"31/02/2021", ""},
                                               {"5/3/2020", ""},
                                               {"", ""}}) {
        EXPECT_EQ(c.iso, isoDate(c.stored).value_or("")) << c.stored;
        EXPECT_EQ(!c.iso.empty(), isIsoDate(c.iso)) << c.iso;
    }
    struct AgeCase {
        std::string age, acquired, when;
        int years;  // -1: none
    };
    for (const auto& c : std::vector<AgeCase>{{"5", "15/03/2010", "14/03/2012", 6},
                                              {" 5 ", "15/03/2010", "15/03/2012", 7},
                                              {"5", "15/03/2010", "01/01/2006", 0},
                                              {"5", "15/03/2010", "01/01/2004", -1},
                                              {"5a", "15/03/2010", "15/03/2012", -1},
                                              {"", "15/03/2010", "15/03/2012", -1},
                                              {"5", "", "15/03/2012", -1}})
        EXPECT_EQ(c.years, ageAt(c.age, c.acquired, c.when).value_or(-1)) << c.when;
}

}  // namespace
}  // namespace tavo::test
