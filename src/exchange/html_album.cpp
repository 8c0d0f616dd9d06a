#include "exchange/html_album.h"

#include <algorithm>

#include "cards/card_file.h"
#include "common/cp1252.h"
#include "exchange/exchange_texts.h"
#include "exchange/formats.h"
#include "photos/gallery_file.h"
#include "works/works_line.h"

namespace tavo {

namespace {

std::string head(const std::string& title, const std::string& language, const std::string& up) {
    return "<!DOCTYPE html>\n<html lang=\"" + htmlEscape(language) +
           "\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<title>" +
           htmlEscape(title) + "</title>\n<link rel=\"stylesheet\" href=\"" + up +
           "album.css\">\n<script src=\"" + up + "album.js\" defer></script>\n</head>\n<body>\n";
}

std::string image(const std::string& src, const std::string& alt, const std::optional<Size>& s,
                  bool lazy) {
    std::string out = "<img src=\"" + htmlEscape(src) + "\" alt=\"" + htmlEscape(alt) + "\"";
    if (s)
        out += " width=\"" + std::to_string(s->width) + "\" height=\"" + std::to_string(s->height) +
               "\"";
    if (lazy) out += " loading=\"lazy\"";
    return out + ">";
}

// "Âge : 15 ans (estimé)" for the card of a tree, from its age at acquisition carried to today.
std::string ageText(const TreeCard& c, const AlbumLabels& l, const std::string& today) {
    std::string out;
    if (const auto a = ageAt(c.age, c.acquisitionDate, today))
        out = std::to_string(*a) + " " + l.years;
    else if (!c.age.empty())
        out = c.age;
    if (!out.empty() && c.ageEstimated == "O") out += " (" + l.estimated + ")";
    return out;
}

// A file name as one segment of a relative URL: "#", "?", "%" and blanks would otherwise cut
// the link or change its meaning.
std::string urlSegment(const std::string& name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : name) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
            b == '-' || b == '.' || b == '_' || b == '~') {
            out += ch;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

// Sorting key of a name: Windows-1252 letters without accents, case ignored.
std::string sortKey(const std::string& utf8) {
    static constexpr char kFold[] =
        "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTsaaaaaaaceeeeiiiidnooooo/ouuuuyty";
    std::string s = cp1252::fromUtf8(utf8);
    for (char& ch : s) {
        auto b = static_cast<unsigned char>(ch);
        if (b >= 0xC0) b = static_cast<unsigned char>(kFold[b - 0xC0]);
        if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b - 'A' + 'a');
        ch = static_cast<char>(b);
    }
    return s;
}

}  // namespace

std::string htmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '&':
                out += "&amp;";
                continue;
            case '<':
                out += "&lt;";
                continue;
            case '>':
                out += "&gt;";
                continue;
            case '"':
                out += "&quot;";
                continue;
            case '\'':
                out += "&#39;";
                continue;
            default:
                break;
        }
        if ((c < 0x20 && c != '\n' && c != '\r' && c != '\t') || c == 0x7F) {
            out += "\xEF\xBF\xBD";
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            out += "\xEF\xBF\xBD";  // C1 control characters are not allowed in HTML text
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string albumIndex(const CollectionData& data, const std::vector<IndexPicture>& pictures,
                       const AlbumLabels& l, const std::string& today) {
    struct Entry {
        std::string key;
        std::size_t index;
        TreeCard card;
    };
    std::vector<Entry> order;
    for (std::size_t i = 0; i < data.trees.size(); ++i) {
        TreeCard c = decodeCard(data.trees[i].card);
        order.push_back({sortKey(c.treeName), i, std::move(c)});
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const Entry& a, const Entry& b) { return a.key < b.key; });

    std::string out = head(l.title, l.language, "");
    out +=
        "<header>\n<h1>" + htmlEscape(l.title) +
        "</h1>\n<p class=\"search\" hidden><label for=\"search\">" + htmlEscape(l.search) +
        "</label> <input type=\"search\" id=\"search\"></p>\n</header>\n<main class=\"cards\">\n";
    for (const auto& e : order) {
        const TreeData& t = data.trees[e.index];
        const IndexPicture& pic = pictures[e.index];
        const std::string page = "trees/" + t.id + ".html";
        out += "<article class=\"card\">\n<a href=\"" + page + "\">";
        if (pic.link.empty())
            out += "<span class=\"nophoto\">" + htmlEscape(l.noPhoto) + "</span>";
        else
            out += image(pic.link, e.card.treeName, pic.size, false);
        out += "</a>\n<h2><a href=\"" + page + "\">" + htmlEscape(e.card.treeName) + "</a></h2>\n";
        if (!e.card.botanicalName.empty())
            out += "<p class=\"botanical\">" + htmlEscape(e.card.botanicalName) + "</p>\n";
        const std::string age = ageText(e.card, l, today);
        if (!age.empty()) out += "<p class=\"age\">" + htmlEscape(l.age + " : " + age) + "</p>\n";
        out += "</article>\n";
    }
    out += "</main>\n</body>\n</html>\n";
    return out;
}

std::string albumTreePage(const TreeData& t, const std::optional<Size>& reference,
                          const std::function<bool(const std::string&)>& present,
                          const AlbumLabels& l, const std::string& today) {
    const TreeCard c = decodeCard(t.card);
    std::string out = head(c.treeName.empty() ? t.id : c.treeName, l.language, "../");
    out += "<nav><a href=\"../index.html\">" + htmlEscape(l.back) + "</a></nav>\n";
    out += "<main>\n<article class=\"tree\">\n<section class=\"sheet\">\n";
    if (reference)
        out += image("../" + referencePhotoLink(t.id), c.treeName, reference, false) + "\n";
    out += "<h1>" + htmlEscape(c.treeName) + "</h1>\n";
    if (!c.botanicalName.empty())
        out += "<p class=\"botanical\">" + htmlEscape(c.botanicalName) + "</p>\n";
    out += "<dl>\n";
    const auto field = [&](const std::string& name, const std::string& value) {
        if (!value.empty())
            out += "<dt>" + htmlEscape(name) + "</dt><dd>" + htmlEscape(value) + "</dd>\n";
    };
    field(l.age, ageText(c, l, today));
    const std::vector<std::string> values = {
        c.cultivar,        c.commonName, c.englishName, c.provenance,
        c.acquisitionDate, c.state,      c.price,       c.notes};
    for (std::size_t i = 0; i < values.size() && i < l.cardFields.size(); ++i)
        field(l.cardFields[i], values[i]);
    out += "</dl>\n</section>\n";

    out += "<section class=\"works\">\n<h2>" + htmlEscape(l.works) + "</h2>\n";
    if (!t.works.empty()) {
        out += "<table>\n<thead><tr><th>" + htmlEscape(l.date) + "</th><th>" + htmlEscape(l.type) +
               "</th><th>" + htmlEscape(l.comment) + "</th></tr></thead>\n<tbody>\n";
        for (const auto& raw : t.works) {
            const WorksLine w = decodeWorksLine(raw);
            out += "<tr><td>" + htmlEscape(w.date) + "</td><td>" + htmlEscape(w.type) +
                   "</td><td>" + htmlEscape(w.comment) + "</td></tr>\n";
        }
        out += "</tbody>\n</table>\n";
    }
    out += "</section>\n<section class=\"gallery\">\n<h2>" + htmlEscape(l.gallery) + "</h2>\n";
    if (!t.photos.empty()) {
        out += "<ol class=\"timeline\">\n";
        for (const auto& raw : t.photos) {
            const PhotoRecord p = decodePhotoRecord(raw);
            out += "<li><figure>";
            if (present(p.fileName)) {
                const std::string link = "../photos/" + urlSegment(p.fileName);
                out += "<a href=\"" + htmlEscape(link) + "\">" +
                       image(link, p.comment.empty() ? p.date : p.comment, std::nullopt, true) +
                       "</a>";
            }
            out += "<figcaption>";
            if (const auto iso = isoDate(p.date))
                out += "<time datetime=\"" + *iso + "\">" + htmlEscape(p.date) + "</time>";
            else
                out += htmlEscape(p.date);
            if (const auto a = ageAt(c.age, c.acquisitionDate, p.date))
                out += " <span class=\"age\">" +
                       htmlEscape(l.age + " : " + std::to_string(*a) + " " + l.years) + "</span>";
            if (!p.comment.empty())
                out += "<span class=\"comment\">" + htmlEscape(p.comment) + "</span>";
            out += "</figcaption></figure></li>\n";
        }
        out += "</ol>\n";
    }
    out += "</section>\n</article>\n</main>\n</body>\n</html>\n";
    return out;
}

const std::string& albumStyleSheet() {
    static const std::string css =
        R"(:root { font-family: "DejaVu Sans", Verdana, sans-serif; color: #222; background: #fbfaf5; }
body { margin: 0 auto; max-width: 70rem; padding: 1rem; line-height: 1.4; }
h1 { margin: 0.2em 0; }
img { max-width: 100%; height: auto; }
.search input { font-size: 1rem; padding: 0.3em; max-width: 100%; }
.cards { display: grid; grid-template-columns: repeat(auto-fill, minmax(11rem, 1fr)); gap: 1rem; }
.card { background: #fff; border: 1px solid #ccc; border-radius: 6px; padding: 0.6rem; text-align: center; }
.card[hidden] { display: none; }
.card h2 { font-size: 1.05rem; margin: 0.4em 0 0.2em; overflow-wrap: anywhere; }
.card p { margin: 0.1em 0; }
.botanical { font-style: italic; color: #555; }
.nophoto { display: inline-block; width: 159px; max-width: 100%; height: 106px; line-height: 106px; background: #eee; color: #777; }
a { color: #2d5a27; }
dl { display: grid; grid-template-columns: max-content 1fr; gap: 0.2em 1em; }
dt { font-weight: bold; }
dd { margin: 0; white-space: pre-line; overflow-wrap: anywhere; }
table { border-collapse: collapse; width: 100%; }
th, td { border: 1px solid #ccc; padding: 0.3em 0.5em; text-align: left; vertical-align: top; overflow-wrap: anywhere; }
.timeline { list-style: none; padding: 0; display: grid; grid-template-columns: repeat(auto-fill, minmax(16rem, 1fr)); gap: 1rem; }
.timeline figure { margin: 0; background: #fff; border: 1px solid #ccc; padding: 0.4rem; }
.timeline figcaption span { display: block; }
@media (max-width: 30rem) { dl { grid-template-columns: 1fr; } dd { margin-bottom: 0.4em; } }
@media print {
  :root { background: #fff; }
  nav, .search { display: none; }
  a { color: inherit; text-decoration: none; }
  .cards { display: block; }
  .card, .tree { break-inside: avoid; border: none; }
  .card:not(:last-child), .tree { break-after: page; }
  body { font-size: 10pt; padding: 0; }
  .sheet > img { float: right; }
  .timeline { grid-template-columns: repeat(4, 1fr); gap: 0.3cm; }
  .timeline li { break-inside: avoid; }
  .timeline figure { border: none; padding: 0; }
  .timeline img { max-height: 3.5cm; width: auto; }
}
)";
    return css;
}

const std::string& albumScript() {
    static const std::string js = R"("use strict";
// Filters the cards of the index as the search box is typed in. Without scripts the box stays
// hidden and every card shows.
document.addEventListener("DOMContentLoaded", function () {
  var box = document.getElementById("search");
  if (!box) return;
  box.parentNode.hidden = false;
  var cards = Array.prototype.slice.call(document.querySelectorAll(".card"));
  box.addEventListener("input", function () {
    var wanted = box.value.trim().toLowerCase();
    cards.forEach(function (card) {
      card.hidden = wanted !== "" && card.textContent.toLowerCase().indexOf(wanted) < 0;
    });
  });
});
)";
    return js;
}

}  // namespace tavo
