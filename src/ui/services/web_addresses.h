#pragma once
// Where the help page and the advertisement page are. krvo.ini beside the
// program may name the site's base addresses (section [Web], keys HelpBase and
// AdvBase); without it, or without a key, they are the pages the build puts
// beside the program, so both work offline.

#include <QUrl>
#include <string_view>

namespace krvo {

struct WebAddresses {
    QUrl help;           // HelpBase + "KRVO.htm", opened in the desktop's browser
    QUrl advertisement;  // AdvBase + "KRVO/ga.htm", shown in the advertisement pane
};

// appPath is the program's directory, ending in "/" (strAppPath). A base may be
// a web address, a file address, or a directory (absolute, or relative to the
// program's directory); a missing "/" at its end is supplied.
WebAddresses LoadWebAddresses(std::string_view appPath);

}  // namespace krvo
