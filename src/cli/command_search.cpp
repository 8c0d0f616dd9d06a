// tavo-cli search: the trees where every word given appears, as the collection window finds them.
#include <ostream>

#include "cli/cli.h"
#include "collection/search_output.h"

namespace tavo::cli {

namespace {

int runSearch(const Context& ctx, const Args& args) {
    return runSearch(ctx.data(), args.operands, args.has("json"), ctx.out,
                     [&](const std::string& line) { ctx.report(line); });
}

}  // namespace

Command searchCommand() {
    return {"search",
            "WORD... [--json]",
            "Find the trees where every word appears",
            "The trees where every word appears in some text: any text of the card, the type or\n"
            "comment of a works line, or a photo's comment. Letter case and accents do not\n"
            "count (\"erable\" finds \"Érable\"). Sorted by tree name: one line per tree\n"
            "(identifier, two spaces, name), then one indented line per text found, at most "
            "five.\n"
            "\n"
            "  --json  one JSON array of objects with the members id, name and matches, each\n"
            "          match an object with the members field, text and, for a works line or\n"
            "          a photo, date\n",
            {{"json", false}},
            1,
            kAnyNumber,
            FolderNeed::DataSet,
            false,
            runSearch};
}

}  // namespace tavo::cli
