// krvo-server: the local room server. Prints "listening on HOST:PORT" as its
// first line once the socket is bound, so a test or the launcher can read the
// port it picked.

#include <QCoreApplication>

#include <cstdio>

#include "server/local_server.h"
#include "server/server_options.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("krvo-server");
    const krvo::server::ParsedOptions parsed =
        krvo::server::ParseServerOptions(QCoreApplication::arguments());
    if (parsed.helpRequested) {
        std::fputs(parsed.helpText.c_str(), stdout);
        return 0;
    }
    if (!parsed.options) {
        std::fprintf(stderr, "krvo-server: %s\n", parsed.error.c_str());
        return 2;
    }
    krvo::server::LocalServer server(*parsed.options);
    std::string error;
    if (!server.listen(error)) {
        std::fprintf(stderr, "krvo-server: cannot listen: %s\n", error.c_str());
        return 1;
    }
    std::printf("listening on %s\n", server.endpoint().c_str());
    std::fflush(stdout);
    return QCoreApplication::exec();
}
