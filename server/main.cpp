// krvo-server: the local room server. Prints "listening on HOST:PORT" as its
// first line once the socket is bound, so a test or the launcher can read the
// port it picked, and "dealt round N" whenever it deals, so a launcher can
// wait until the cards are on the table. A host's launcher shows who is at
// the table from "joined NAME" and "left NAME" (a person who takes a place or
// comes back, and one who goes or drops out), and counts "refused a login:
// wrong table password".

#include <QCoreApplication>

#include <cstdio>

#include "server/local_server.h"
#include "server/server_options.h"

int main(int argc, char* argv[]) {
    using namespace krvo::server;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("krvo-server");
    const ParsedOptions parsed = ParseServerOptions(QCoreApplication::arguments());
    if (parsed.helpRequested) {
        std::fputs(parsed.helpText.c_str(), stdout);
        return 0;
    }
    if (!parsed.options) {
        std::fprintf(stderr, "krvo-server: %s\n", parsed.error.c_str());
        return 2;
    }
    LocalServer server(*parsed.options);
    std::string error;
    if (!server.listen(error)) {
        std::fprintf(stderr, "krvo-server: cannot listen: %s\n", error.c_str());
        return 1;
    }
    std::printf("listening on %s\n", server.endpoint().c_str());
    std::fflush(stdout);
    server.room().setPresenceHandler([](Presence presence, const std::string& name) {
        switch (presence) {
            case Presence::Arrived:
                std::printf("joined %s\n", name.c_str());
                break;
            case Presence::Left:
                std::printf("left %s\n", name.c_str());
                break;
            case Presence::Refused:
                std::puts("refused a login: wrong table password");
                break;
        }
        std::fflush(stdout);
    });
    server.setRoundStartedHandler([](int round) {
        std::printf("dealt round %d\n", round);
        std::fflush(stdout);
    });
    return QCoreApplication::exec();
}
