#pragma once
// Where the launcher finds the client and the server: beside itself when
// installed (bin/), or in the build tree (<build>/bin/ for the server and the
// launcher, <build>/platform/krvo/krvo for the client).

#include <QString>

namespace krvo::launcher {

struct Programs {
    QString client;  // empty when not found
    QString server;
};

Programs FindPrograms(const QString& launcherDir);

}  // namespace krvo::launcher
