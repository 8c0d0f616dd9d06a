#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include "collection/collection_index.h"
#include "collection/collection_settings.h"
#include "collection/collection_table.h"
#include "collection/search_output.h"
#include "common/cp1252.h"
#include "support/data_folder.h"
#include "support/temp_dir.h"
#include "trees/tree_deletion.h"
#include "works/works_file.h"

using namespace tavo;
using tavo::test::cardOf;

namespace {

const std::string kMaple = "26001000000001", kJuniper = "26001000000002",
                  kFieldMaple = "26001000000003", kFig = "26001000000004";
const LocalTime kToday{2026, 12, 8};

// Four trees whose texts cover every searchable field and whose columns sort differently as
// texts and as dates or numbers.
class Collection : public ::testing::Test {
  protected:
    void SetUp() override {
        tavo::test::DataFolder folder(dir.path());
        folder.tree({kMaple,
                     cardOf({{"name", "Érable de Fontainebleau"},
                             {"botanical", "Acer palmatum"},
                             {"cultivar", "Deshojo"},
                             {"common", "Érable du Japon"},
                             {"english", "Japanese maple"},
                             {"provenance", "Pépinière, Fontainebleau"},
                             {"acquired", "12/04/2015"},
                             {"age", "10"},
                             {"estimated", "O"},
                             {"state", "Prébonsaï"},
                             {"price", "1 200,50 €"},
                             {"notes", "Rempotage prévu.\r\nSubstrat: akadama."}}),
                     {{"12/04/2021", "Ligature", "Ligature des branches basses"},
                      {"03/05/2022", "Rempotage", "Racines saines"}},
                     {{"", "01/06/2021", "Après la ligature"}}});
        folder.tree({kJuniper,
                     cardOf({{"name", "Genévrier"},
                             {"botanical", "Juniperus chinensis"},
                             {"cultivar", "Itoigawa"},
                             {"provenance", "Kokufu-ten"},
                             {"acquired", "01/09/2019"},
                             {"age", "25"},
                             {"estimated", "N"},
                             {"state", "Yamadori"},
                             {"price", "150"}}),
                     {{"15/03/2023", "Taille", "Pincement des apex"}},
                     {{"", "20/03/2023", "Œuvre en cours"}}});
        folder.tree({kFieldMaple, cardOf({{"name", "erable champêtre"},
                                          {"botanical", "Acer campestre"},
                                          {"common", "Érable champêtre"},
                                          {"english", "Field maple"},
                                          {"provenance", "Récolté"},
                                          {"age", "?"},
                                          {"price", "cadeau"},
                                          {"notes", "Feuilles rouges à l'automne"}})});
        std::vector<WorksLine> figWorks;
        for (int y = 2015; y <= 2024; ++y)
            figWorks.push_back({"01/01/" + std::to_string(y), "Engrais", "Organique"});
        std::string longNotes = "Début. ";
        for (int i = 0; i < 40; ++i) longNotes += "bla ";
        longNotes += "Arrosage quotidien en été. ";
        for (int i = 0; i < 40; ++i) longNotes += "bla ";
        folder.tree({kFig,
                     cardOf({{"name", "Figuier"},
                             {"botanical", "Ficus retusa"},
                             {"acquired", "25/12/2009"},
                             {"age", "5"},
                             {"estimated", "N"},
                             {"price", "99,90"},
                             {"notes", longNotes}}),
                     figWorks});
    }

    std::vector<std::string> idsOf(const CollectionIndex& index,
                                   const std::vector<std::size_t>& rows) {
        std::vector<std::string> ids;
        for (std::size_t r : rows) ids.push_back(index.trees()[r].id);
        return ids;
    }

    tavo::test::TempDir dir;
    DataPaths data{dir.path()};
};

// The match as a person reads it, words in brackets where they show in bold.
std::string rendered(const Match& m) {
    std::string text = m.text;
    for (auto it = m.bold.rbegin(); it != m.bold.rend(); ++it) {
        text.insert(it->second, "]");
        text.insert(it->first, "[");
    }
    return std::string(fieldName(m.field)) + (m.date.empty() ? "" : " " + m.date) + ": " + text;
}

}  // namespace

TEST_F(Collection, EveryWordMustAppearInSomeTextAccentsAndCaseFolded) {
    const CollectionIndex index = CollectionIndex::build(data);
    const struct {
        const char* query;
        std::vector<std::string> ids;
    } cases[] = {
        {"", {kMaple, kJuniper, kFieldMaple, kFig}},
        {"erable fontainebleau", {kMaple}},     // tree name
        {"  ÉRABLE  ", {kMaple, kFieldMaple}},  // names and common names, any case and accent
        {"acer", {kMaple, kFieldMaple}},        // botanical name
        {"itoigawa", {kJuniper}},               // cultivar
        {"japon", {kMaple}},                    // common name
        {"field maple", {kFieldMaple}},         // English name
        {"kokufu", {kJuniper}},                 // provenance
        {"25/12/2009", {kFig}},                 // acquisition date
        {"yamadori", {kJuniper}},               // state
        {"cadeau", {kFieldMaple}},              // price
        {"akadama", {kMaple}},                  // notes, after a line break
        {"rempotage racines", {kMaple}},        // works type and comment, two texts
        {"pincement", {kJuniper}},              // works comment
        {"oeuvre", {kJuniper}},                 // photo comment, Œ folded
        {"apres ligature", {kMaple}},           // photo comment
        {"erable juniperus", {}},               // words of two different trees
        {"palmatum\r", {kMaple}},               // the blank does not belong to the word
        {"fontainebleau\nacer", {kMaple}},
        {"prevu. substrat", {kMaple}},  // words found across a line break
    };
    for (const auto& c : cases)
        EXPECT_EQ(idsOf(index, index.filter(searchWords(c.query))), c.ids) << c.query;
}

TEST_F(Collection, TypingOnNarrowsTheSearchAmongTheTreesAlreadyFound) {
    const struct {
        const char* before;
        const char* now;
        bool narrower;
    } cases[] = {
        {"era", "erab", true},
        {"erable f", "erable fo", true},
        {"ligature", "basses ligature", true},
        {"ab cd", "abcd", true},
        {"", "acer", true},
        {"erable", "era", false},
        {"acer", "", false},
        {"acer japon", "japon", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(narrows(searchWords(c.before), searchWords(c.now)), c.narrower) << c.now;

    // Looking among given trees keeps their order.
    const CollectionIndex index = CollectionIndex::build(data);
    EXPECT_EQ(idsOf(index, index.filter(searchWords("acer"), {3, 2, 1, 0})),
              (std::vector<std::string>{kFieldMaple, kMaple}));
}

TEST_F(Collection, MatchShowsTheTextWithTheMostWordsInBold) {
    const CollectionIndex index = CollectionIndex::build(data);
    const auto tree = [&](const std::string& id) -> const TreeEntry& {
        for (const TreeEntry& t : index.trees())
            if (t.id == id) return t;
        throw std::runtime_error("no tree " + id);
    };
    const struct {
        std::string id;
        const char* query;
        const char* shown;
    } cases[] = {
        {kMaple, "ligature basses", "worksComment 12/04/2021: [Ligature] des branches [basses]"},
        {kMaple, "fontainebleau", "treeName: Érable de [Fontainebleau]"},
        {kMaple, "pepiniere fontaine", "provenance: [Pépinière], [Fontaine]bleau"},
        {kJuniper, "oeuvre", "photoComment 20/03/2023: [Œuvre] en cours"},
        {kJuniper, "euvre", "photoComment 20/03/2023: [Œuvre] en cours"},  // inside a folded Œ
        {kMaple, "substrat", "notes: Rempotage prévu.  [Substrat]: akadama."},
        {kMaple, "a", "treeName: Ér[a]ble de Font[a]ineble[a]u"},
    };
    for (const auto& c : cases) {
        const auto m = bestMatch(tree(c.id), searchWords(c.query));
        ASSERT_TRUE(m) << c.query;
        EXPECT_EQ(rendered(*m), c.shown) << c.query;
    }

    // A long text is cut around the first word.
    const auto notes = bestMatch(tree(kFig), searchWords("arrosage"));
    ASSERT_TRUE(notes);
    const std::string shown = rendered(*notes);
    EXPECT_NE(shown.find("bla [Arrosage] quotidien en été. bla"), std::string::npos) << shown;
    EXPECT_EQ(shown.rfind("notes: …", 0), 0u) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 3), "…") << shown;
    EXPECT_EQ(cp1252::length(notes->text), kExcerptChars + 2);

    // Every text holding a word, in the tree's order.
    std::vector<std::string> all;
    for (const Match& m : matchesOf(tree(kMaple), searchWords("ligature")))
        all.push_back(rendered(m));
    EXPECT_EQ(all,
              (std::vector<std::string>{"worksType 12/04/2021: [Ligature]",
                                        "worksComment 12/04/2021: [Ligature] des branches basses",
                                        "photoComment 01/06/2021: Après la [ligature]"}));
    EXPECT_FALSE(bestMatch(tree(kMaple), searchWords("juniperus")));
}

TEST_F(Collection, ColumnsSortDatesAndNumbersAsSuchAndNamesByFoldedLetters) {
    const CollectionIndex index = CollectionIndex::build(data);
    const std::vector<std::size_t> all = index.filter({});
    const struct {
        Column column;
        bool ascending;
        std::vector<std::string> ids;
    } cases[] = {
        {Column::TreeName, true, {kFieldMaple, kMaple, kFig, kJuniper}},
        {Column::TreeName, false, {kJuniper, kFig, kMaple, kFieldMaple}},
        {Column::BotanicalName, true, {kFieldMaple, kMaple, kFig, kJuniper}},
        {Column::AcquisitionDate, true, {kFig, kMaple, kJuniper, kFieldMaple}},
        {Column::AcquisitionDate, false, {kJuniper, kMaple, kFig, kFieldMaple}},  // none last
        {Column::Price, true, {kFig, kJuniper, kMaple, kFieldMaple}},  // 99,90 150 1 200,50
        {Column::Price, false, {kMaple, kJuniper, kFig, kFieldMaple}},
        {Column::Age, true, {kMaple, kFig, kJuniper, kFieldMaple}},  // ~21 = 21 by name, 32, "?"
        {Column::WorksCount, true, {kFieldMaple, kJuniper, kMaple, kFig}},  // 0 1 2 10
        {Column::LastWorks, false, {kFig, kJuniper, kMaple, kFieldMaple}},
        {Column::PhotoCount, false, {kMaple, kJuniper, kFieldMaple, kFig}},  // 1 1 0 0 by name
        {Column::LastPhotoDate, true, {kMaple, kJuniper, kFieldMaple, kFig}},
        {Column::State, true, {kMaple, kJuniper, kFieldMaple, kFig}},
        {Column::Thumbnail, false, {kFig, kFieldMaple, kJuniper, kMaple}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(idsOf(index, sortRows(index.trees(), all, c.column, c.ascending, kToday)), c.ids)
            << static_cast<int>(c.column) << (c.ascending ? " up" : " down");
}

TEST_F(Collection, CellsShowAgeTodayAndTheFooterAddsThePricesShown) {
    const CollectionIndex index = CollectionIndex::build(data);
    const auto& t = index.trees();  // sorted by identifier: maple, juniper, field maple, fig
    const struct {
        std::size_t tree;
        Column column;
        const char* text;
    } cells[] = {
        {0, Column::Age, "~21"},  // 10 + 11 whole years since 12/04/2015
        {1, Column::Age, "32"},
        {2, Column::Age, "?"},
        {3, Column::Age, "21"},  // 25/12 is not reached yet in 2026
        {0, Column::LastWorks, "03/05/2022 Rempotage"},
        {3, Column::WorksCount, "10"},
        {1, Column::LastPhotoDate, "20/03/2023"},
        {2, Column::TreeName, "erable champêtre"},
    };
    for (const auto& c : cells) EXPECT_EQ(cellText(t[c.tree], c.column, kToday), c.text);

    const Totals shown = totals(t, {0, 2, 3});
    EXPECT_EQ(std::tie(shown.shown, shown.all, shown.priceCents),
              std::make_tuple(std::size_t{3}, std::size_t{4}, 120050LL + 9990));
    EXPECT_EQ(centsText(shown.priceCents, ','), "1300,40");
}

TEST(CollectionValues, NamesCompareWithoutCaseOrAccentsAndNumbersAsNumbers) {
    const struct {
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {"Érable", "erable", 0},       {"Érable", "Figuier", -1}, {"Œillet", "Orme", -1},
        {"Pin n° 2", "Pin n° 10", -1}, {"Pin 007", "Pin 7", 0},   {"Pin 10", "Pin 9b", 1},
        {"Orme", "Orme de Chine", -1}, {"zèbre", "Zoé", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compareNames(c.a, c.b), c.order) << c.a << " / " << c.b;
        EXPECT_EQ(compareNames(c.b, c.a), -c.order) << c.b << " / " << c.a;
    }
}

TEST(CollectionValues, PricesAndAgesReadFromFreeText) {
    const struct {
        const char* text;
        std::optional<long long> cents;
    } prices[] = {
        {"150", 15000},         {"150 €", 15000},        {"1 200,50", 120050},
        {"1.200,50 €", 120050}, {"1,200.50", 120050},    {"€ 80.5", 8050},
        {"1.500", 150000},      {"12.345", 1234500},     {"2'500", 250000},
        {"1\u00a0000", 100000}, {"env. 40 euros", 4000}, {"19,999", 2000},
        {"100 200", 10020000},  {"", std::nullopt},      {"cadeau", std::nullopt},
    };
    for (const auto& p : prices) EXPECT_EQ(priceCents(p.text), p.cents) << p.text;

    const struct {
        const char* age;
        const char* estimated;
        const char* acquired;
        const char* shown;
    } ages[] = {
        {"10", "N", "08/12/2016", "20"},  // the anniversary is today
        {"10", "N", "09/12/2016", "19"},
        {" 7 ", "O", "", "~7"},         // no date: the age as acquired
        {"3", "N", "01/01/2030", "3"},  // acquired after today: no negative years
        {"5", "N", "29/02/2024", "7"},
        {"10+", "O", "01/01/2000", "~10+"},  // not a number: shown as written
        {"", "O", "01/01/2000", ""},
    };
    for (const auto& a : ages) {
        TreeCard card;
        card.age = a.age;
        card.ageEstimated = a.estimated;
        card.acquisitionDate = a.acquired;
        EXPECT_EQ(ageToday(card, kToday).text, a.shown) << a.age << " " << a.acquired;
    }
}

TEST_F(Collection, RefreshFollowsEveryKindOfChangeMadeElsewhere) {
    // What the window shows of the whole collection.
    const auto shown = [](const CollectionIndex& index) {
        std::vector<std::string> rows;
        for (const TreeEntry& t : index.trees())
            rows.push_back(t.id + "|" + t.displayName() + "|" + std::to_string(t.worksCount) + "|" +
                           t.lastWorksDate + t.lastWorksType + "|" + std::to_string(t.photoCount) +
                           "|" + t.lastPhotoDate + "|" + t.text);
        return rows;
    };
    const std::string kNew = "26001000000005";
    const struct {
        const char* change;
        std::string id;
        std::function<void()> make;
    } changes[] = {
        {"card changed", kJuniper,
         [&] {
             TreeCard c = readCard(data, kJuniper);
             c.treeName = "Genévrier de Chine";
             rewriteCard(data, kJuniper, c);
         }},
        {"tree created", kNew,
         [&] {
             tavo::test::DataFolder(dir.path()).tree({kNew, cardOf({{"name", "Pin noir"}})});
         }},
        {"tree deleted", kFieldMaple, [&] { deleteTree(data, kFieldMaple); }},
        {"works line added", kJuniper,
         [&] {
             WorksFile(data, kJuniper).add({"01/02/2025", "Rempotage", "Nouveau pot"});
         }},
        {"photo added", kFig,
         [&] {
             GalleryFile g(data, kFig);
             g.add({photoFileName(kFig, 1), "02/02/2025", "Premières figues"});
         }},
    };
    CollectionIndex index = CollectionIndex::build(data);
    // Told nothing, this one finds the tree changed by its files alone.
    CollectionIndex followed = CollectionIndex::build(data);
    for (const auto& c : changes) {
        const auto before = shown(index);
        c.make();
        index.refresh(c.id);
        const auto after = shown(index);
        EXPECT_NE(after, before) << c.change;
        EXPECT_EQ(after, shown(CollectionIndex::build(data))) << c.change;
        EXPECT_EQ(followed.update(), std::vector<std::string>{c.id}) << c.change;
        EXPECT_EQ(shown(followed), after) << c.change;
    }
    EXPECT_TRUE(followed.update().empty());
    EXPECT_EQ(followed.update(kJuniper), std::vector<std::string>{kJuniper});
}

TEST_F(Collection, CommandLineSearchGivesTheWindowsTreesSortedByName) {
    const auto ignore = [](const std::string&) {};
    const CollectionIndex index = CollectionIndex::build(data);
    const struct {
        std::vector<std::string> words;
        std::vector<std::string> ids;
    } cases[] = {
        {{"ERABLE"}, {kFieldMaple, kMaple}},
        {{"rempotage", "racines"}, {kMaple}},
        {{"engrais"}, {kFig}},
        {{"juniperus", "acer"}, {}},
    };
    const std::regex idRe("\"id\": \"([0-9]+)\"");
    for (const auto& c : cases) {
        std::ostringstream out;
        ASSERT_EQ(runSearch(data, c.words, true, out, ignore), 0);
        std::vector<std::string> ids;
        const std::string json = out.str();
        for (std::sregex_iterator it(json.begin(), json.end(), idRe), end; it != end; ++it)
            ids.push_back((*it)[1]);
        EXPECT_EQ(ids, c.ids) << json;
        std::string query;
        for (const auto& w : c.words) query += w + " ";
        const auto window = idsOf(index, index.filter(searchWords(query)));
        EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()),
                  std::set<std::string>(window.begin(), window.end()));
    }

    std::ostringstream out;
    EXPECT_EQ(runSearch(data, {"rempotage", "racines"}, false, out, ignore), 0);
    EXPECT_EQ(out.str(), kMaple +
                             "  Érable de Fontainebleau\n"
                             "    notes: Rempotage prévu.  Substrat: akadama.\n"
                             "    worksType 03/05/2022: Rempotage\n"
                             "    worksComment 03/05/2022: Racines saines\n");
    EXPECT_EQ(runSearch(data, {" "}, false, out, ignore), 2);

    // A damaged card is told, and the tree stays listed under its identifier.
    tavo::test::writeBytes(data.card(kFig), "short");
    std::ostringstream out2;
    std::vector<std::string> reported;
    EXPECT_EQ(runSearch(data, {"engrais"}, true, out2,
                        [&](const std::string& line) { reported.push_back(line); }),
              1);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find(kFig), std::string::npos);
    EXPECT_NE(out2.str().find("\"name\": \"" + kFig + "\""), std::string::npos) << out2.str();
}

TEST(CollectionValues, WindowSettingsSurviveAnyFileContent) {
    tavo::test::TempDir dir;
    const auto ini = dir / "Tavo.ini";
    const WindowSettings defaults;
    const struct {
        const char* file;
        WindowSettings read;
    } cases[] = {
        {"", defaults},
        {"[Collection]\r\nLargeur=1200\r\nHauteur=700\r\nColonne=10\r\nOrdre=D\r\n",
         {1200, 700, Column::LastWorks, false}},
        {"[Collection]\r\nLargeur=-5\r\nHauteur=abc\r\nColonne=13\r\nOrdre=x\r\n", defaults},
        {"[Collection]\r\nLargeur=10\r\nHauteur=999999\r\nColonne=-1\r\n",
         {kMinWidth, kMaxSide, defaults.column, true}},
    };
    for (const auto& c : cases) {
        tavo::test::writeBytes(ini, c.file);
        EXPECT_EQ(readWindowSettings(ini), c.read) << c.file;
    }
    const WindowSettings chosen{1000, 640, Column::Price, false};
    tavo::test::writeBytes(ini, "[Fichiers]\r\nFiche=3\r\n");
    writeWindowSettings(ini, chosen);
    EXPECT_EQ(readWindowSettings(ini), chosen);
    EXPECT_NE(tavo::test::readText(ini).find("[Fichiers]\r\nFiche=3\r\n"),
              std::string::npos);  // kept
}
