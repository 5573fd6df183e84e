// krvo-server: the local room server. Prints "listening on HOST:PORT" as its
// first line once the socket is bound, so a test or the launcher can read the
// port it picked, and "dealt round N" whenever it deals, so a launcher can
// wait until the cards are on the table.

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
    server.setRoundStartedHandler([](int round) {
        std::printf("dealt round %d\n", round);
        std::fflush(stdout);
    });
    return QCoreApplication::exec();
}
