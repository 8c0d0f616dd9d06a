#include <gtest/gtest.h>

#include "care/due_report.h"
#include "care/ical.h"
#include "support/data_folder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

using namespace tavo;
using namespace std::chrono;
using tavo::test::cardOf;
using tavo::test::runShell;
using tavo::test::worksLines;

namespace {

// Debian's interpreter, which sees Debian's python3-icalendar.
const std::string kPython = "/usr/bin/python3";

bool isUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// A collection of three trees: a long accented name with two learned types, a tree whose one
// line teaches nothing, and a tree whose card is damaged but whose log still counts.
struct Collection {
    test::TempDir dir;
    DataPaths data{dir.path()};
    const std::string name =
        "Érable du jardin de grand-père, planté en 1998 ; celui qui a survécu à l'hiver 2012";
    Collection() {
        test::DataFolder(dir.path())
            .tree({"26001100000001", cardOf({{"name", name}}),
                   worksLines({{"15/03/2021", "Rempotage"},
                               {"01/01/2024", "Taille, pincement; \\ fin"},
                               {"15/03/2023", "Rempotage"},
                               {"01/04/2024", "Taille, pincement; \\ fin"}})})
            .tree({"26001100000002", cardOf({{"name", "Pin"}}),
                   worksLines({{"01/05/2024", "Engrais"}})})
            .tree({"26001100000003", cardOf({{"name", "Buis"}}),
                   worksLines({{"01/01/2024", "Taille"},
                               {"31/02/2024", "Taille"},
                               {"01/04/2024", "Taille"}})});
        test::writeBytes(data.card("26001100000003"), "short");
    }
};

const Day kToday{2024y / June / 20};

}  // namespace

TEST(CareCalendar, DueListingOfADataFolder) {
    Collection c;
    const DueReport text = runDue(c.data, {}, kToday, sys_days{kToday});
    EXPECT_EQ(text.output,
              "2024-07-01  soon  26001100000003: Taille (last 01/04/2024, every 3 months) "
              "[26001100000003]\n"
              "2024-07-01  soon  " +
                  c.name +
                  ": Taille, pincement; \\ fin (last 01/04/2024, every 3 months) "
                  "[26001100000001]\n");
    EXPECT_TRUE(text.problem);  // the damaged card
    ASSERT_EQ(text.warnings.size(), 2u);
    EXPECT_NE(text.warnings[0].find("26001100000003"), std::string::npos);
    EXPECT_EQ(text.warnings[1], "1 works line(s) left out: their date is not a valid date");

    DueOptions json;
    json.json = true;
    json.withinDays = 400;
    const std::string file = (c.dir / "due.json").string();
    test::writeBytes(file, runDue(c.data, json, kToday, sys_days{kToday}).output);
    EXPECT_EQ(
        runShell(kPython +
                 " -c 'import json,sys\n"
                 "for o in json.load(open(sys.argv[1])): print(o[\"id\"], o[\"type\"], o[\"last\"],"
                 " o[\"next\"], o[\"intervalDays\"], o[\"state\"])' " +
                 file),
        "26001100000003 Taille 2024-04-01 2024-07-01 91 soon\n"
        "26001100000001 Taille, pincement; \\ fin 2024-04-01 2024-07-01 91 soon\n"
        "26001100000001 Rempotage 2023-03-15 2025-03-15 730 later\n");
}

TEST(CareCalendar, ExportReadByARealParserWithStableUids) {
    Collection c;
    DueOptions options;
    options.icsFile = c.dir / "care.ics";
    const auto firstExport = sys_days{kToday} + hours{9} + minutes{5} + seconds{7};
    runDue(c.data, options, kToday, firstExport);
    const std::string first = test::readText(*options.icsFile);
    runDue(c.data, options, kToday + days{3}, firstExport + days{3});  // replaces the file
    const std::string second = test::readText(*options.icsFile);

    EXPECT_NE(first.find("DTSTAMP:20240620T090507Z\r\n"), std::string::npos);
    std::size_t start = 0;
    for (std::size_t end; (end = first.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string_view physical(first.data() + start, end - start);
        EXPECT_LE(physical.size(), 75u) << physical;
        EXPECT_TRUE(isUtf8(physical)) << physical;  // folding never splits a character
        EXPECT_EQ(physical.find('\n'), std::string::npos);
    }
    EXPECT_EQ(start, first.size());  // every line ended by CR LF

    test::writeBytes(c.dir / "first.ics", first);
    const std::string script = std::string(TAVO_SOURCE_DIR) + "/tests/care/ics_dump.py";
    const std::string dump =
        runShell(kPython + " " + script + " " + (c.dir / "first.ics").string() + " " +
                 options.icsFile->string());
    const std::string events =
        "26001100000001-rempotage@care.tavo\t2025-03-15\t2025-03-16\t" + c.name +
        ": Rempotage\tLast time: 15/03/2023|Usual interval: every 2 years\tno alarm\n"
        "26001100000001-taille_2C_20pincement_3B_20_5C_20fin@care.tavo\t2024-07-01\t2024-07-02\t" +
        c.name +
        ": Taille, pincement; \\ fin\tLast time: 01/04/2024|Usual interval: every 3 months\t"
        "no alarm\n"
        "26001100000003-taille@care.tavo\t2024-07-01\t2024-07-02\t26001100000003: Taille\t"
        "Last time: 01/04/2024|Usual interval: every 3 months\tno alarm\n--\n";
    EXPECT_EQ(dump, events + events);
}
