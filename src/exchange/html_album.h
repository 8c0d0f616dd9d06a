#pragma once
// The HTML album: index.html with a card per tree, one page per tree, a style sheet and a small
// script. Pages use relative links only and fetch nothing from the network.
#include <optional>
#include <string>
#include <vector>

#include "exchange/collection_data.h"
#include "exchange/exchange.h"
#include "imaging/imaging.h"

namespace tavo {

// `text` for HTML content or a quoted attribute: markup characters as entities, control
// characters (line breaks and tabs excepted) as U+FFFD.
std::string htmlEscape(const std::string& text);

// What the index shows for a tree's reference photo.
struct IndexPicture {
    std::string link;  // relative to the album folder; empty: no picture
    Size size;
};

std::string albumIndex(const CollectionData& data, const std::vector<IndexPicture>& pictures,
                       const AlbumLabels& labels, const std::string& today);
// `present` tells for a photo file name whether its file is in the album.
std::string albumTreePage(const TreeData& tree, const std::optional<Size>& reference,
                          const std::function<bool(const std::string&)>& present,
                          const AlbumLabels& labels, const std::string& today);
const std::string& albumStyleSheet();
const std::string& albumScript();

// Longer side of the pictures of the index.
inline constexpr int kIndexPictureSide = 159;

}  // namespace tavo
