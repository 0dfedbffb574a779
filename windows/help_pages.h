#pragma once

// The help's table of contents and the topic keys of the Help buttons. The pages
// come with the program (built into it) and are copied into the folder "Help/HTML"
// of the program folder, where the help window reads them, so that a user also
// finds them as files. The copies follow the program that runs: pages of an
// older version are replaced.

#include <QString>
#include <QStringList>
#include <span>

namespace snapwire {

// A node of the help window's tree. `parent` is empty for a root node; `picture`
// is the 1-based index of the node picture (1 closed book, 2 help page, 3 globe);
// `page` is a page file name or a web address.
struct HelpNode {
    const char* key;
    const char* caption;
    const char* parent;
    int picture;
    const char* page;
};

// A topic key of the Help buttons, the page it shows, the node it marks, and
// whether that node's own branch is opened too.
struct HelpTopic {
    const char* key;
    const char* page;
    const char* node;
    bool expandNode;
};

inline constexpr const char* kHelpStartPage = "Start.htm";

// Every node, parents before their children, in the order the tree shows them.
std::span<const HelpNode> HelpNodes();
std::span<const HelpTopic> HelpTopics();

// Exact, case-sensitive look-ups; nullptr for a key the table does not hold.
const HelpNode* FindHelpNode(const QString& key);
const HelpTopic* FindHelpTopic(const QString& key);

// The folder of the help pages: the program folder & "/Help/HTML".
QString HelpFolder();
// The full path of a page file in that folder.
QString HelpPagePath(const QString& pageFile);
// What a click on the node shows: its page's full path, or its web address.
QString HelpNodeAddress(const HelpNode& node);

// The page files that come with the program.
QStringList BuiltInHelpPages();
// Writes every built-in page into the help folder where its copy is missing or
// differs; other files in the folder stay. Failures are passed over: a page that
// could not be written shows as missing, or as it was.
void InstallHelpPages();

}  // namespace snapwire
