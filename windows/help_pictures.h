#pragma once

#include <QIcon>
#include <array>

namespace snapwire {

// The three 12 x 12 node pictures of the help tree: a closed book, a help page
// with a question mark, a globe.
std::array<QIcon, 3> HelpNodePictures();

}  // namespace snapwire
